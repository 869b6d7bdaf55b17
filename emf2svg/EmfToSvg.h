// velmora-emf2svg: an enhanced metafile (EMF) to SVG, through libemf2svg.
// SPDX-License-Identifier: GPL-2.0-only
// libemf2svg and libUEMF are licensed under the GPL version 2 only, so this
// converter, which links them, is too; the lines of this folder are also
// available under the GPL version 2 or any later version. The program runs
// the converter as a separate process and links neither library.

#pragma once

#include <string>

namespace emfconvert {

// How a conversion ended; the converter's exit status.
enum Result : int {
    Converted = 0,
    Refused = 1,       // libemf2svg refused the records, or they do not chain up
    CorruptRecord = 2, // libUEMF found a record's insides corrupt
};

// The records the converter takes: an EMF up to its end record, whose
// records all have a size of at least 8, a multiple of 4, within the bytes.
// A record of type SkippedType is passed over unchecked; a record whose
// type has LeftOutFlag set is checked as the type without the flag and then
// passed over as well.
constexpr unsigned SkippedType = 69;
constexpr unsigned LeftOutFlag = 0x80000000U;

// Checks every record with libUEMF, then turns the records into SVG at
// width × height (the units of the SVG) with libemf2svg. Records of types
// libUEMF has no check for must come as SkippedType: libUEMF writes a
// warning for them on standard output.
Result ToSvg(std::string emf, int width, int height, std::string& svg);

} // namespace emfconvert
