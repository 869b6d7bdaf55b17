#!/usr/bin/env python3
"""Makes a catalog like a collector's for the large-list benchmark.

    make_catalog.py FIGURES DATAFOLDER

writes DATAFOLDER/velmora.db with 50 manufacturers, 30 genres and FIGURES
figures, each with a 45 KB thumbnail (a 123 x 123 24-bit BMP of noise) and about a 300-character description,
one in 33 with a 200 KB picture, now and then with a manufacturer or genre
key that matches nothing. Two figures in three have a collection row (a
status, a quantity, mostly an acquisition date, a price and a value in
cents). The tables are those an older installation leaves and the
collection table; the program's structure check adds what it adds when it
opens them. An existing file with as many figures and collection rows is
kept as it is.
"""
import os
import random
import sqlite3
import struct
import sys

THUMBNAIL_SIDE = 123
PICTURE_BYTES = 200 * 1024
PICTURE_EVERY = 33
WORDS = ["Old", "Guard", "Hussar", "Lancer", "Grenadier", "Voltigeur", "Dragoon",
         "Royal", "Scots", "Greys", "Imperial", "Marine", "Chasseur", "Cuirassier",
         "Polish", "Horse", "Artillery", "Officer", "Drummer", "Sapper"]
TYPES = ["cavalry", "infantry", "mini diorama", "other type"]
STATUSES = ["wanted", "unbuilt", "assembled", "primed", "painting", "finished", "sold"]
PLACES = ["Cabinet A", "Cabinet B", "Shelf 1", "Shelf 2", "Box 7"]
COLLECTION_EVERY = 3
SCALES = ["15-mm", "20-mm", "54-mm", "70-mm", "90-mm", "120-mm"]


def thumbnail():
    row = (THUMBNAIL_SIDE * 3 + 3) // 4 * 4
    pixels = row * THUMBNAIL_SIDE
    header = (b"BM" + struct.pack("<IHHI", 54 + pixels, 0, 0, 54) +
              struct.pack("<IiiHHIIiiII", 40, THUMBNAIL_SIDE, THUMBNAIL_SIDE, 1, 24, 0, pixels,
                          2835, 2835, 0, 0))
    return header + os.urandom(pixels)


def key(rnd):
    return "%032X" % rnd.getrandbits(128)


def words(rnd, count):
    return " ".join(rnd.choice(WORDS) for _ in range(count))


def existing_figures(path):
    try:
        db = sqlite3.connect("file:%s?mode=ro" % path, uri=True)
        try:
            figures = db.execute("select count(*) from figures").fetchone()[0]
            rows = db.execute("select count(*) from figure_collection").fetchone()[0]
            return figures if rows > 0 or figures == 0 else -1
        finally:
            db.close()
    except sqlite3.Error:
        return -1


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_catalog.py FIGURES DATAFOLDER")
    figures = int(sys.argv[1])
    folder = sys.argv[2]
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "velmora.db")
    if os.path.exists(path) and existing_figures(path) == figures:
        return
    if os.path.exists(path):
        os.remove(path)

    rnd = random.Random(7)
    db = sqlite3.connect(path)
    db.executescript("""
        create table figures (figure_id char(32), figure_name char(32),
          producer_id char(32), genre_id char(32), type_ci char(32), scale char(16),
          figure_dsc blob(1,1), figure_files blob(1,1), manual_sheme blob(1,1),
          picture_th blob(1,5), picture blob(1,5), sculpter_name char(32),
          painter_name char(32), prc_kit numeric(7,2), prc_pr numeric(7,2),
          prc_pe numeric(7,2), primary key (figure_id));
        create table producers (producer_id char(32), producer_name char(32),
          producer_website char(64), producer_dsc blob(1,1), insert_time date,
          primary key (producer_id));
        create table genres (genre_id char(32), genre_name char(32), RX integer,
          RY integer, RH integer, RW integer, TB integer, TE integer,
          location_shape char(2), primary key (genre_id));
        create table add_pictures (add_picture_id char(32), add_picture_name char(32),
          figure_id char(32), picture_th blob(1,5), picture blob(1,5),
          primary key (add_picture_id));
        create table figure_collection (figure_id char(32), collection_status char(16),
          collection_quantity integer, collection_acquired date,
          collection_price numeric(7,2), collection_value numeric(7,2),
          collection_place char(64), collection_note char(128), primary key (figure_id));
    """)
    producers = [key(rnd) for _ in range(50)]
    genres = [key(rnd) for _ in range(30)]
    db.executemany("insert into producers (producer_id, producer_name) values (?, ?)",
                   [(k, words(rnd, 2)) for k in producers])
    db.executemany("insert into genres (genre_id, genre_name) values (?, ?)",
                   [(k, words(rnd, 2)) for k in genres])

    figure_keys = []

    def rows():
        for i in range(figures):
            picture = os.urandom(PICTURE_BYTES) if i % PICTURE_EVERY == 0 else None
            figure_keys.append(key(rnd))
            yield (figure_keys[-1], words(rnd, 3),
                   rnd.choice(producers) if i % 97 else key(rnd),
                   rnd.choice(genres) if i % 89 else key(rnd),
                   rnd.choice(TYPES), rnd.choice(SCALES), words(rnd, 40),
                   "/home/collector/figures/notes.txt", thumbnail(),
                   picture, words(rnd, 2), words(rnd, 2))

    db.executemany("insert into figures (figure_id, figure_name, producer_id, genre_id, "
                   "type_ci, scale, figure_dsc, figure_files, picture_th, picture, "
                   "sculpter_name, painter_name) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                   rows())

    def collection_rows():
        for i, figure in enumerate(figure_keys):
            if i % COLLECTION_EVERY == 0:
                continue
            acquired = ("%04d-%02d-%02d" % (rnd.randint(1990, 2026), rnd.randint(1, 12),
                                            rnd.randint(1, 28)) if i % 5 else None)
            yield (figure, rnd.choice(STATUSES), rnd.randint(1, 4), acquired,
                   rnd.randint(0, 25000) / 100, rnd.randint(0, 40000) / 100,
                   rnd.choice(PLACES), words(rnd, 2))

    db.executemany("insert into figure_collection (figure_id, collection_status, "
                   "collection_quantity, collection_acquired, collection_price, "
                   "collection_value, collection_place, collection_note) "
                   "values (?, ?, ?, ?, ?, ?, ?, ?)", collection_rows())
    db.commit()
    db.close()


if __name__ == "__main__":
    main()
