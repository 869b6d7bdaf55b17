#pragma once

#include <QGuiApplication>

#include <memory>

// Text and pictures are drawn through the platform's fonts, which need an
// application object; without a display the offscreen platform serves.
// Nothing when the process has one already.
std::unique_ptr<QGuiApplication> MakeGuiApplication();
