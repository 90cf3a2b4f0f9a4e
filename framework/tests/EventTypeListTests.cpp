#include "framework/CCarbonEventHandler.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<std::pair<UInt32, UInt32>> Pairs(CCarbonEventSpecList const& list)
{
    std::vector<std::pair<UInt32, UInt32>> pairs;
    for (ItemCount i = 0; i < list.GetCount(); ++i)
        pairs.emplace_back(list.GetList()[i].eventClass, list.GetList()[i].eventKind);
    return pairs;
}

using P = std::vector<std::pair<UInt32, UInt32>>;

TEST(CCarbonEventSpecList, BuildsFromATerminatedArrayKeepingDuplicatesInOrder)
{
    EventTypeSpec const specs[] = { { 'wind', 72 }, { 'cmds', 1 }, { 'wind', 72 }, { 0, 0 }, { 'mous', 1 } };
    CCarbonEventSpecList const list(specs);
    EXPECT_EQ(Pairs(list), (P { { 'wind', 72 }, { 'cmds', 1 }, { 'wind', 72 } }));
    EXPECT_EQ(CCarbonEventSpecList(nullptr).GetList(), nullptr);
    EXPECT_EQ(CCarbonEventSpecList().GetCount(), 0u);
    EXPECT_EQ(Pairs(CCarbonEventSpecList('cntl', 4)), (P { { 'cntl', 4 } }));
}

TEST(CCarbonEventSpecList, RemoveTakesOnlyTheFirstEqualPair)
{
    EventTypeSpec const specs[] = { { 'wind', 72 }, { 'cmds', 1 }, { 'wind', 72 }, { 0, 0 } };
    CCarbonEventSpecList list(specs);
    list.Remove(EventTypeSpec { 'wind', 72 });
    EXPECT_EQ(Pairs(list), (P { { 'cmds', 1 }, { 'wind', 72 } }));
    list.Remove(EventTypeSpec { 'wind', 73 });
    list.Remove(EventTypeSpec { 'cmds', 2 });
    EXPECT_EQ(Pairs(list), (P { { 'cmds', 1 }, { 'wind', 72 } }));
    list.Remove(CCarbonEventSpecList('cmds', 1));
    list.Remove(EventTypeSpec { 'wind', 72 });
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_EQ(list.GetList(), nullptr);
}

TEST(CCarbonEventSpecList, AddingOrRemovingItselfIsWellDefined)
{
    CCarbonEventSpecList list('mous', 1);
    list.Add(CCarbonEventSpecList('mous', 2));
    list.Add(list);
    EXPECT_EQ(Pairs(list), (P { { 'mous', 1 }, { 'mous', 2 }, { 'mous', 1 }, { 'mous', 2 } }));
    list.Remove(list);
    EXPECT_EQ(list.GetCount(), 0u);
}

} // namespace
