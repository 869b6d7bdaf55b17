#pragma once

#include <QImage>

class TJpegPicture;
class TQuery;

// The stored pictures of a row: "picture" holds the JPEG bytes of the
// picture, "picture_th" the BMP bytes of its thumbnail; an empty column is
// no picture.

// Writes the picture's stored form into the "picture" column of the current
// row: the row goes into edit state first (DataSetEdit), and the column is
// replaced whole. Posting is the caller's business.
void WriteStoredPicture(TQuery& dataSet, const TJpegPicture& picture);

// The same for the thumbnail's BMP bytes in "picture_th".
void WriteStoredThumbnail(TQuery& dataSet, const QImage& thumbnail);

// Loads the "picture" column of the current row into the picture (empty for
// an empty column). Throws EPictureError for bytes that are not JPEG.
void ReadStoredPicture(TQuery& dataSet, TJpegPicture& picture);

// The thumbnail in the "picture_th" column of the current row; a null image
// for an empty column or bytes that are not a bitmap.
QImage ReadStoredThumbnail(TQuery& dataSet);

// The thumbnail the stored bytes of a "picture_th" column hold, as 24-bit
// bitmap; a null image for no bytes or bytes that are not a bitmap. Never
// throws: every list and editor shows thumbnails through it.
QImage ThumbnailFromBytes(const QByteArray& bytes);
