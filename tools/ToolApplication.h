#pragma once

#include <QGuiApplication>

#include <memory>

// The engine's driver plugins and drawing text through the platform's fonts
// need an application object; without a display the offscreen platform
// serves. Nothing when the process has one already.
std::unique_ptr<QGuiApplication> MakeGuiApplication();
