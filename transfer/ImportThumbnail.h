#pragma once

#include <QVariantHash>

// Gives an imported row that brings a JPEG picture without a thumbnail the
// automatic thumbnail of that picture (AutoThumbnail) in "picture_th".
// Column names are matched in any letter case. A row with a thumbnail, or
// whose picture is not JPEG or cannot be decoded, is left as it is. True
// when a thumbnail was added.
bool FillMissingThumbnail(QVariantHash& row);
