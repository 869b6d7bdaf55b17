#pragma once

#include <QGuiApplication>

#include <memory>

class QString;
class TDatabase;

// The engine's driver plugins and drawing text through the platform's fonts
// need an application object; without a display the offscreen platform
// serves. Nothing when the process has one already.
std::unique_ptr<QGuiApplication> MakeGuiApplication();

// Connects the database to the catalog of the folder for reading only:
// nothing is written to the data folder and its lock is left to the
// program. Raises EDatabaseError when it cannot connect.
void OpenCatalogReadOnly(TDatabase& database, const QString& folder);
