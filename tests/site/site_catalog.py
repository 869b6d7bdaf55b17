#!/usr/bin/env python3
"""Makes a catalog of 2,000 figures for the published site's check.

    site_catalog.py DATAFOLDER KEYS_FILE

writes DATAFOLDER/velmora.db with bench/make_catalog.py, then puts the word
QUERY into some figures' names (in capitals), some descriptions and one
manufacturer's name, and writes to KEYS_FILE the keys of every figure whose
name, description or manufacturer holds it: the cards a search for QUERY
must leave. Prints QUERY.
"""
import os
import sqlite3
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))
import make_catalog  # noqa: E402

FIGURES = 2000
QUERY = "tirailleur"


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: site_catalog.py DATAFOLDER KEYS_FILE")
    folder, keys_file = sys.argv[1:]
    sys.argv = [sys.argv[0], str(FIGURES), folder]
    make_catalog.main()
    db = sqlite3.connect(os.path.join(folder, "velmora.db"))
    db.executescript("""
        update figures set figure_name = 'Tirailleur ' || figure_name
          where rowid % 9 = 0 and figure_name not like '%tirailleur%';
        update figures set figure_dsc = figure_dsc || ' A tirailleur of the line.'
          where rowid % 25 = 0 and figure_dsc not like '%tirailleur%';
        update producers set producer_name = 'Tirailleur Works'
          where rowid = 1;
    """)
    db.commit()
    keys = [row[0] for row in db.execute("""
        select f.figure_id from figures f left join producers p on p.producer_id = f.producer_id
        where f.figure_name like ?1 or f.figure_dsc like ?1 or p.producer_name like ?1
        order by f.figure_id""", ("%" + QUERY + "%",))]
    db.close()
    with open(keys_file, "w") as out:
        out.write("".join(key + "\n" for key in keys))
    print(QUERY)


if __name__ == "__main__":
    main()
