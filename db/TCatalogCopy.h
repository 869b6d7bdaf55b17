#pragma once

class EngineConnection;

// Copies the rows of every catalog table from one engine connection to
// another, whatever engine stands behind each: the catalog in a data folder
// and the one on a database server hold the same tables and columns, so
// either can take the other's rows. Values travel as the source holds them;
// pictures byte for byte.
class TCatalogCopy {
public:
    // Whether a catalog table of db holds a row; a missing table holds none.
    static bool HoldsRows(EngineConnection& db);

    // Replaces the rows of every catalog table of target with the source's,
    // inside the transaction the caller holds on target. A column or table
    // the source lacks is left empty. On a server every table is announced
    // as changed, so that the programs open on it read their lists again.
    // Raises EDatabaseError.
    static void ReplaceRows(EngineConnection& source, EngineConnection& target);

    // Makes the catalog's tables in target with the structure check, then
    // replaces their rows with the source's in one transaction on target,
    // reading the source as one committed state. Raises EDatabaseError;
    // target then keeps its rows.
    static void Copy(EngineConnection& source, EngineConnection& target);
};
