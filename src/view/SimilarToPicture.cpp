#include "SimilarToPicture.h"

#include "Lists.h"
#include "SharedState.h"
#include "Signature.h"
#include "SignatureIndex.h"

#include <QImage>

#include <algorithm>

namespace lumidex {

std::vector<int> SimilarToOutsider(const Catalogue& catalogue, const MatchSettings& settings,
                                   const Pdata& outsider, SignatureIndex* index) {
    std::vector<int> out;
    if (index && index->Current() && index->settings() == settings) {
        index->ForEachSimilar(ProbeOf(outsider), 0, -1, [&](int p) {
            out.push_back(p);
            return true;
        });
        std::sort(out.begin(), out.end());
        return out;
    }
    const Matcher matcher(catalogue, settings);
    for (int p = matcher.FindNextSimilar(outsider, -1, 1); p >= 0;
         p = matcher.FindNextSimilar(outsider, p, 1))
        out.push_back(p);
    return out;
}

bool CompareWithPicture(Lists& lists, const QImage& picture) {
    SharedState& state = lists.state();
    if (state.OperationRunning() || picture.isNull()) return false;
    Pdata clipboard("Clipboard");
    const int64_t key = ComputeSignature(picture, clipboard, SignatureMode::WholePicture, 0, 0, 0,
                                         0, state.frame());
    lists.SaveSelection(lists.reference);
    lists.ClearReferenceList();
    if (key >= 0) {
        Catalogue& catalogue = lists.catalogue();
        for (int p : SimilarToOutsider(catalogue, lists.CurrentMatchSettings(), clipboard))
            lists.AddRow(lists.reference, &catalogue.Entry(p));
    }
    lists.RestoreSelection(lists.reference);
    return true;
}

} // namespace lumidex
