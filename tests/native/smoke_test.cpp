#include <gtest/gtest.h>

#include "ppd/ppd_document.h"

// The platform-free library links on the host and builds a document from an
// empty input.
TEST(NativeBuild, PpdLibraryLinks) {
    PpdMemoryInput input{nullptr, 0, 0};
    PpdDocument *doc = new PpdDocument(memoryReadByte, &input);
    EXPECT_EQ(doc->featureCount, 0);
    delete doc;
}
