// Exception messages and codes as callers and stored files see them.
#include "KroExceptions.h"

#include <gtest/gtest.h>

TEST(Exceptions, EditorErrorCarriesCodeAndMessage) {
    EEditorError e265(265);
    EXPECT_EQ(e265.Code(), 265);
    EXPECT_STREQ(e265.what(),
                 "Current operation will exceed the maximum number of allowed paragraphs");
    EXPECT_STREQ(EEditorError(269).what(), "Unknown Error condition");
    EXPECT_STREQ(EEditorError(264).what(), "Region is too large to copy to clipboard (> 64K)");
}

TEST(Exceptions, FamilyAndFixedTexts) {
    EXPECT_THROW(throw EInvalidLineOrPara(), EEditorError);
    EXPECT_THROW(throw ETableNotFound(), ECmdProcessorError);
    EXPECT_THROW(throw EInvalidFontParam(), EKroException);
    EXPECT_STREQ(EInvalidFontParam().what(),
                 "Invalid font assignemnt. Font must be a TFont or TKroFixedFont");
    EXPECT_STREQ(EInOutError(106).what(), "Invalid numeric input");
    EXPECT_STREQ(EInOutError(999).what(), "I/O error 999");
}
