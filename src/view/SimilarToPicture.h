#pragma once

#include "Matcher.h"

#include <vector>

class QImage;

namespace lumidex {

class Lists;
class SharedState;
class SignatureIndex;

// Positions of the catalogue entries similar to an entry that is not in the catalogue, in
// the order FindNextSimilar(entry, -1, +1) and its continuations find them. An index built
// over this catalogue under these settings gives the same positions without a full scan.
std::vector<int> SimilarToOutsider(const Catalogue& catalogue, const MatchSettings& settings,
                                   const Pdata& outsider, SignatureIndex* index = nullptr);

// "Compare with &Clipboard": fills the reference list with the entries similar to a picture
// outside the catalogue, under the matcher's options of this moment. The temporary entry has
// no file size (-1), so a size test finds nothing. Refused (false, nothing changed) while a
// long operation runs, since clearing the list would pull rows from under it; an empty
// picture changes nothing either.
bool CompareWithPicture(Lists& lists, const QImage& picture);

} // namespace lumidex
