#pragma once

#include "ByteReader.h"

#include <QByteArrayView>

#include <cstdint>

// The bytes of a metafile, or of one record in it, read as little-endian
// numbers. Every read is checked against the end of the bytes: one past it
// throws EPictureError, so a record that claims more than the file holds is
// refused before any library sees it.
ByteReader MetafileBytes(QByteArrayView bytes);

// Takes the bytes as a device-independent bitmap drawn by a record: a core
// (12-byte) or a later (40-byte or longer) header that lies inside them, with
// a width and height that make a picture CheckPictureSize takes. Returns the
// bitmap's compression (0 for none, always 0 for a core header); throws
// EPictureError for anything else.
std::uint32_t BitmapCompression(const ByteReader& bitmap);
