// The constrained flags of a document's options, in document order: read out
// and written back, so two constraint passes can be run from the same start
// and compared. Shared by the fuzz target and the corpus comparison.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ppd/ppd_document.h"

namespace ppdtools {

inline std::vector<unsigned char> flags(const PpdDocument &doc) {
    std::vector<unsigned char> out;
    for (int32_t i = 0; i < doc.featureCount; ++i)
        for (int32_t j = 0; j < doc.features[i]->optionCount; ++j)
            out.push_back(doc.features[i]->options[j]->constrained);
    return out;
}

inline void setFlags(PpdDocument &doc, const std::vector<unsigned char> &v) {
    size_t k = 0;
    for (int32_t i = 0; i < doc.featureCount; ++i)
        for (int32_t j = 0; j < doc.features[i]->optionCount; ++j)
            doc.features[i]->options[j]->constrained = v[k++];
}

}  // namespace ppdtools
