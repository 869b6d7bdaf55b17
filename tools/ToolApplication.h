#pragma once

#include <QGuiApplication>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

// The engine's driver plugins and drawing text through the platform's fonts
// need an application object; without a display the offscreen platform
// serves. Nothing when the process has one already.
std::unique_ptr<QGuiApplication> MakeGuiApplication();

// Runs work on the catalog of the data folder, connected as "ADB" for
// reading only: nothing is written to the data folder and its lock is left
// to the program, which may run on it meanwhile. Returns work's exit code,
// or tells on err and returns 1 when the folder holds no catalog or it
// cannot be read, 2 when work cannot write a file.
int ReadCatalog(const std::string& dataFolder, std::FILE* err, const std::function<int()>& work);
