#pragma once

#include <QByteArray>

// What libheif trusts in a HEIF file before it decodes: it takes the
// memory an item's location claims before reading it, and composes a grid
// ('grid') or overlay ('iovl') image at the size its own small descriptor
// gives, which need not be the size the image's properties claim. Reads the
// box structure (meta: iinf, iloc, idat) far enough to check that every
// item lies within the file (or its idat box) and that each such descriptor
// gives a size within the limits and one a JPEG file can hold. Throws
// EPictureError otherwise, or when the structure cannot be read. Every
// offset is checked against the bytes.
void CheckHeifLayout(const QByteArray& bytes);
