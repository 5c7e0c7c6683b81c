#include "platform/core/ClassRegistry.h"

#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

class TAlpha : public TObject {};
class TBeta : public TObject {};

TEST(ClassRegistry, NamesAreCaseInsensitiveAndReRegisteringReplaces)
{
    RegisterClass("TGIFImage", [] { return std::make_unique<TAlpha>(); });
    EXPECT_TRUE(IsClassRegistered("tgifimage"));
    EXPECT_NE(dynamic_cast<TAlpha*>(CreateClassByName("TGIFIMAGE").get()), nullptr);

    RegisterClass("tgifImage", [] { return std::make_unique<TBeta>(); });
    EXPECT_NE(dynamic_cast<TBeta*>(CreateClassByName("TGIFImage").get()), nullptr);

    UnRegisterClass("TGifImage");
    EXPECT_FALSE(IsClassRegistered("TGIFImage"));
    UnRegisterClass("TGifImage");  // unknown now: nothing happens
    try {
        CreateClassByName("TGIFImage");
        ADD_FAILURE() << "no exception";
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message(), "Class TGIFImage not found");
    }
}

TEST(ClassRegistry, AFactoryMayRegisterClasses)
{
    RegisterClass("TOuter", [] {
        RegisterClass("TInner", [] { return std::make_unique<TBeta>(); });
        return std::make_unique<TAlpha>();
    });
    EXPECT_NE(CreateClassByName("TOuter"), nullptr);
    EXPECT_TRUE(IsClassRegistered("TInner"));
    UnRegisterClass("TOuter");
    UnRegisterClass("TInner");
}

// Units registered the way other files register theirs: static objects.
std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}
bool gFailStartOfSecond = false;
bool gFailEndOfFirst = false;

const TUnitRegistration gFirst(
    "First", [] { Log().push_back("init First"); },
    [] {
        Log().push_back("final First");
        if (gFailEndOfFirst)
            throw std::runtime_error("First failed");
    });
const TUnitRegistration gSecond(
    "Second",
    [] {
        if (gFailStartOfSecond)
            throw std::runtime_error("Second failed");
        Log().push_back("init Second");
    },
    [] { Log().push_back("final Second"); });
const TUnitRegistration gWithoutActions("Quiet", nullptr, nullptr);
const TUnitRegistration gThird(
    "Third", [] { Log().push_back("init Third"); }, [] { Log().push_back("final Third"); });

using Lines = std::vector<std::string>;

TEST(UnitRegistration, StartInOrderEndInReverseOnce)
{
    Log().clear();
    InitializeUnits();
    InitializeUnits();
    EXPECT_EQ(Log(), (Lines{"init First", "init Second", "init Third"}));
    FinalizeUnits();
    FinalizeUnits();
    EXPECT_EQ(Log(), (Lines{"init First", "init Second", "init Third", "final Third", "final Second",
                            "final First"}));

    Log().clear();
    {
        TUnitScope scope;
        EXPECT_EQ(Log(), (Lines{"init First", "init Second", "init Third"})) << "a new round after the end";
    }
    EXPECT_EQ(Log().size(), 6u);
}

TEST(UnitRegistration, AFailedStartEndsOnlyTheStartedUnits)
{
    Log().clear();
    gFailStartOfSecond = true;
    EXPECT_THROW(InitializeUnits(), std::runtime_error);
    gFailStartOfSecond = false;
    FinalizeUnits();
    EXPECT_EQ(Log(), (Lines{"init First", "final First"}));
}

TEST(UnitRegistration, AFailedEndStillEndsTheOthers)
{
    InitializeUnits();
    Log().clear();
    gFailEndOfFirst = true;
    EXPECT_THROW(FinalizeUnits(), std::runtime_error);
    gFailEndOfFirst = false;
    EXPECT_EQ(Log(), (Lines{"final Third", "final Second", "final First"}));
    Log().clear();
    FinalizeUnits();
    EXPECT_TRUE(Log().empty()) << "the failed end still closed the round";
}

}  // namespace
