#pragma once

#include <QString>

#include <functional>

// Packing a folder's files into one compressed archive (".tba") and
// unpacking it again.
//
// Layout (integers 32-bit signed little-endian): "BACKUP"; the name block
// (one block holding every bare file name followed by CR LF); then for each
// file its size, raw, and its content as blocks of at most 524288 bytes.
// A block is a 4-byte length and that many bytes of one complete zlib
// stream (level 9); no block holds bytes of two files.

// Called between pieces with the share done (0..100, halves rounded to
// even); setting stop asks the procedure to end.
using TArchiveProgress = std::function<void(int percent, bool& stop)>;

namespace ArchiveResult {
constexpr int Done = 0;
constexpr int Stopped = 1;
constexpr int NoSourceFiles = 2;    // packing: no such folder, or no files in it
constexpr int NoArchive = 3;        // unpacking: the archive file does not exist
constexpr int NotAnArchive = 4;     // unpacking: wrong signature, names or sizes
constexpr int InputOutputError = 5; // creating, reading, writing or a damaged block
// Unpacking: the swap of the restored files failed and could not be undone;
// the data folder's files are kept beside it for the next start to put back.
constexpr int RollBackFailed = 7;
// (6 and 8 are velmora-tool's: the program runs; the archive is inside the
// data folder.)
// Unpacking: the archive's files hold no catalog database (velmora.db) that
// opens, passes SQLite's quick check and has the catalog's tables; the data
// folder keeps its files.
constexpr int NoCatalog = 9;
} // namespace ArchiveResult

// A folder holding the catalog (velmora.db) is packed with the catalog as
// one committed state and without its journals; such an archive takes its
// name only once its catalog passes the check a restore makes.
int PackFolder(const QString& sourceFolder, const QString& archiveFile,
               const TArchiveProgress& progress = {});
// The same, telling in fault why the catalog could not be packed, in words
// for the user (lower case, no full stop); empty otherwise.
int PackFolder(const QString& sourceFolder, const QString& archiveFile,
               const TArchiveProgress& progress, QString& fault);
// Restores the target folder's files from the archive, through a scratch
// folder: only an archive that unpacks whole and holds the catalog replaces
// them; on any other result the folder keeps its files.
int UnpackArchive(const QString& archiveFile, const QString& targetFolder,
                  const TArchiveProgress& progress = {});
// The same, telling in fault why a result is not Done, in words for the
// user (lower case, no full stop): no archive chosen, not an archive,
// damaged at block N, no catalog in the archive, ...; empty on Done.
int UnpackArchive(const QString& archiveFile, const QString& targetFolder,
                  const TArchiveProgress& progress, QString& fault);
// Asked when an archive holds an older version's tables instead of the
// catalog: true to import them into a new catalog.
using TImportOldTables = std::function<bool()>;
// The same, and an archive holding an older version's tables: when
// importOld answers true, they are brought into a new catalog in the scratch
// folder, which then takes the place of the data folder's files as every
// restore does (the tables themselves never go into the data folder). Not
// asked, or answered false, such an archive gives NoCatalog.
int UnpackArchive(const QString& archiveFile, const QString& targetFolder,
                  const TArchiveProgress& progress, QString& fault,
                  const TImportOldTables& importOld);

class EngineConnection;

// A catalog on a database server goes into the same archive as a data folder
// holding only its catalog: velmora.db, made from one snapshot of the
// server's tables. A result code, and in fault why not (as PackFolder).
int PackServer(EngineConnection& server, const QString& archiveFile,
               const TArchiveProgress& progress, QString& fault);
// Replaces the rows of every table of a catalog on a database server with
// those of the archive's catalog, all in one transaction: any failure
// leaves the server's rows as they were. The archive is unpacked and
// checked as UnpackArchive does, in a scratch folder; an older version's
// tables are imported when importOld answers true.
int UnpackIntoServer(const QString& archiveFile, EngineConnection& server,
                     const TArchiveProgress& progress, QString& fault,
                     const TImportOldTables& importOld = {});
