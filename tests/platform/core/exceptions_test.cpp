#include "platform/core/Exceptions.h"

#include <cerrno>
#include <string>

#include <gtest/gtest.h>

namespace {

TEST(Exceptions, FileErrorsNameTheFileAndTheSystemReason)
{
    const EFOpenError open("/x/Zur\xFC" "ck.jpg", ENOENT);
    EXPECT_EQ(open.Message(), "Cannot open file \"/x/Zur\xFC" "ck.jpg\". No such file or directory");
    EXPECT_EQ(open.FileName(), "/x/Zur\xFC" "ck.jpg");
    EXPECT_EQ(open.SystemError(), ENOENT);

    const EFCreateError create("/ro/out.html", EACCES);
    EXPECT_EQ(create.Message(), "Cannot create file \"/ro/out.html\". Permission denied");
    EXPECT_EQ(create.SystemError(), EACCES);

    const EInOutError io("Disk full", ENOSPC);
    EXPECT_EQ(io.Message(), "Disk full");
    EXPECT_EQ(io.SystemError(), ENOSPC);
}

TEST(Exceptions, CallersCatchingTheGeneralKindsCatchTheSpecificOnes)
{
    // Retry loops catch Exception; stream users catch EStreamError.
    EXPECT_THROW(throw EFOpenError("f", ENOENT), EStreamError);
    EXPECT_THROW(throw EFCreateError("f", ENOENT), EStreamError);
    EXPECT_THROW(throw EReadError("r"), EStreamError);
    EXPECT_THROW(throw EWriteError("w"), EStreamError);
    EXPECT_THROW(throw EInOutError("io", EIO), Exception);
    EXPECT_THROW(throw EEncodingError("e"), Exception);
    EXPECT_EQ(EAbort().Message(), "Operation aborted");
}

}  // namespace
