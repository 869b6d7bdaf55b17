#pragma once

#include <QString>

// The folder each file dialog starts in, remembered across runs per kind of
// file in the user's settings. The first time, and when the remembered
// folder has gone, a dialog starts in the desktop's pictures folder
// (pictures) or documents folder (everything else), or else in the home
// folder; never in the program's working folder.
class DialogFolders {
public:
    enum class Kind { Pictures, RelatedFiles, Archives, Exports };

    // The folder a dialog for this kind of file starts in; it exists.
    static QString StartFolder(Kind kind);
    // The folder remembered for this kind if it still exists, else empty.
    static QString Remembered(Kind kind);
    // Remembers the folder of a chosen file, or the chosen folder itself.
    static void Remember(Kind kind, const QString& chosen);

    // The settings the folders are kept in: organisation and application.
    static constexpr const char* Organisation = "Velmora";
    static constexpr const char* Application = "Velmora";

private:
    static QString FirstFolder(Kind kind);
};
