// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <quarvex/quarvex.h>

#include "quarvex_test_support.h"

#include <algorithm>
#include <random>
#include <thread>
#include <vector>

using namespace quarvex;

namespace {

// Counts the comparator calls so the sort can be shown to use only GTE and LT.
class CountingComparator : public Comparator<int> {
  public:
    mutable int gt = 0, gte = 0, lt = 0, lte = 0, eq = 0;
    bool GT(const int& a, const int& b) const override { return ++gt, a > b; }
    bool GTE(const int& a, const int& b) const override { return ++gte, a >= b; }
    bool LT(const int& a, const int& b) const override { return ++lt, a < b; }
    bool LTE(const int& a, const int& b) const override { return ++lte, a <= b; }
    bool EQ(const int& a, const int& b) const override { return ++eq, a == b; }
};

struct Keyed {
    int key;
    int tag;
};

class ByKey : public Comparator<Keyed> {
  public:
    bool GTE(const Keyed& a, const Keyed& b) const override { return a.key >= b.key; }
    bool LT(const Keyed& a, const Keyed& b) const override { return a.key < b.key; }
};

}  // namespace

TEST(Array, BoundsAreOneBasedAndChecked) {
    Array<double> empty;
    EXPECT_EQ(empty.Length(), 0);
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_FALSE(empty.HasAny());
    EXPECT_FALSE(empty.First().has_value());
    EXPECT_FALSE(empty.Last().has_value());
    EXPECT_EQ(errorOf([&] { (void)empty(1); }), errc::SubscriptOutOfRange);

    empty.Push(4.5);
    EXPECT_EQ(empty.Length(), 1);
    EXPECT_EQ(empty.LBound(), 1);
    EXPECT_EQ(empty.UBound(), 1);
    EXPECT_DOUBLE_EQ(empty(1), 4.5);

    Array<int> a{10, 20, 30, 40, 50};
    EXPECT_EQ(errorOf([&] { (void)a(0); }), errc::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { (void)a(6); }), errc::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { (void)a[-1]; }), errc::SubscriptOutOfRange);
    EXPECT_EQ(*a.First(), 10);
    EXPECT_EQ(*a.Last(), 50);

    const Array<int> s = a.Slice(2, 4);
    ASSERT_EQ(s.Length(), 3);
    EXPECT_EQ(s(1), 20);
    EXPECT_EQ(s(3), 40);
    // A slice past the end reaches outside the bounds.
    EXPECT_EQ(errorOf([&] { (void)a.Slice(4, 6); }), errc::SubscriptOutOfRange);
    // An empty slice (till before begin) is an empty array.
    EXPECT_EQ(a.Slice(3, 2).Length(), 0);
}

TEST(Collection, KeysInsertionOrderAndRemoval) {
    Collection<std::string> c;
    c.Add("first", "1-1");
    c.Add("second", "1-2");
    c.Add("loose");
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(c.Item(2), "second");
    EXPECT_EQ(c.Item("1-1"), "first");
    EXPECT_EQ(errorOf([&] { c.Add("again", "1-2"); }), errc::InvalidArgument);
    EXPECT_EQ(errorOf([&] { (void)c.Item("9-9"); }), errc::InvalidArgument);
    EXPECT_EQ(c.Find("9-9"), nullptr);

    EXPECT_TRUE(c.Remove("1-1"));
    EXPECT_FALSE(c.Remove("1-1"));
    c.Add("first again", "1-1");
    EXPECT_EQ(c.Item(1), "second");
    EXPECT_EQ(c.Item(3), "first again");
    EXPECT_EQ(errorOf([&] { (void)c.Item(4); }), errc::SubscriptOutOfRange);
}

TEST(ArraysSort, SortsRandomAndTiedInputUsingOnlyGteAndLt) {
    Arrays arrays;
    arrays.seed(12345);
    std::mt19937 gen(7);
    for (int n : {0, 1, 2, 3, 10, 101, 1000}) {
        for (int range : {3, 1000000}) {  // many ties, then few
            Array<int> input;
            std::uniform_int_distribution<int> d(0, range);
            for (int i = 0; i < n; ++i) {
                input.Push(d(gen));
            }
            const Array<int> before = input;
            CountingComparator cmp;
            const Array<int> sorted = arrays.Sort(input, cmp);
            EXPECT_EQ(input, before) << "the argument must not change";
            std::vector<int> expected = input.items();
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(sorted.items(), expected) << "n=" << n << " range=" << range;
            EXPECT_EQ(cmp.gt + cmp.lte + cmp.eq, 0);
        }
    }
}

TEST(ArraysSort, AllEqualKeysKeepEveryElement) {
    Arrays arrays;
    Array<Keyed> v;
    for (int i = 1; i <= 50; ++i) {
        v.Push({7, i});
    }
    const Array<Keyed> sorted = arrays.Sort(v, ByKey());
    ASSERT_EQ(sorted.Length(), 50);
    std::vector<int> tags;
    for (const auto& k : sorted) {
        EXPECT_EQ(k.key, 7);
        tags.push_back(k.tag);
    }
    std::sort(tags.begin(), tags.end());
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(tags[static_cast<std::size_t>(i)], i + 1) << "an element was lost or doubled";
    }
}

TEST(Collection, IndexedKeysKeepInsertionOrderThroughRemovalsAndReplacements) {
    Collection<int> c;
    for (int i = 1; i <= 1000; ++i) {
        c.Add(i, "k" + std::to_string(i));
    }
    // Replacing an entry (remove, then add under the same key) moves it to the end.
    for (int i = 1; i <= 1000; i += 2) {
        ASSERT_TRUE(c.Remove("k" + std::to_string(i)));
        c.Add(-i, "k" + std::to_string(i));
    }
    EXPECT_EQ(c.Count(), 1000);
    EXPECT_EQ(c.Item("k7"), -7);
    EXPECT_EQ(c.Item(1), 2);  // the even keys kept their places, in order
    EXPECT_EQ(c.Item(500), 1000);
    EXPECT_EQ(c.Item(501), -1);  // then the replaced ones, in the order they came back
    EXPECT_EQ(c.Item(1000), -999);
    EXPECT_EQ(*c.KeyAt(501), "k1");
    // Removing by position closes the gap; keys stay found after the renumbering.
    c.Remove(1);
    EXPECT_FALSE(c.Contains("k2"));
    EXPECT_EQ(c.Item(1), 4);
    EXPECT_EQ(c.Item("k1000"), 1000);
    EXPECT_EQ(c.Item("k999"), -999);
    std::vector<int> seen;
    c.ForEach([&](int v) { seen.push_back(v); });
    ASSERT_EQ(seen.size(), 999u);
    EXPECT_EQ(seen.front(), 4);
    EXPECT_EQ(seen.back(), -999);
    // A copy is independent of the original.
    Collection<int> copy = c;
    copy.Remove("k4");
    copy.Add(44, "k4");
    EXPECT_EQ(c.Item(1), 4);
    EXPECT_EQ(copy.Item(copy.Count()), 44);
    EXPECT_EQ(copy.Count(), c.Count());
    // Entries without a key sit between keyed ones and are reached by position only.
    Collection<int> mixed;
    mixed.Add(1, "a");
    mixed.Add(2);
    mixed.Add(3, "b");
    mixed.Remove("a");
    EXPECT_EQ(mixed.Item(1), 2);
    EXPECT_FALSE(mixed.KeyAt(1).has_value());
    EXPECT_EQ(mixed.Item("b"), 3);
    mixed.Clear();
    EXPECT_TRUE(mixed.IsEmpty());
    EXPECT_FALSE(mixed.Contains("b"));
    EXPECT_EQ(errorOf([&] { (void)mixed.Item(1); }), errc::SubscriptOutOfRange);
}

TEST(ArraysSort, AMillionEqualOrSortedKeysAndTheOrderOfDistinctKeys) {
    // Equal keys used to recurse once per element (a stack overflow at 200,000 readings);
    // sorted and equal inputs of 10^6 must now sort without deep recursion.
    Arrays arrays;
    arrays.seed(99);
    const int n = 1000000;
    Array<Keyed> equal;
    for (int i = 1; i <= n; ++i) {
        equal.Push({5, i});
    }
    const Array<Keyed> e = arrays.Sort(equal, ByKey());
    ASSERT_EQ(e.Length(), n);
    long long tagSum = 0;
    for (const auto& k : e) {
        tagSum += k.tag;
    }
    EXPECT_EQ(tagSum, static_cast<long long>(n) * (n + 1) / 2) << "an element was lost";

    Array<WaterDepthSample> sorted;
    for (int i = 1; i <= n; ++i) {
        sorted.Push(WaterDepths().newWaterDepthSample(i * 0.001, 100.0 + i));
    }
    const Array<WaterDepthSample> byDepth = WaterDepths().Sort(sorted, compareWhat::depth);
    EXPECT_EQ(byDepth, sorted);
    Array<WaterDepthSample> reversed;
    for (int i = n; i >= 1; --i) {
        reversed.Push(sorted(i));
    }
    EXPECT_EQ(WaterDepths().Sort(reversed, compareWhat::distance), sorted);

    // Equal depths of a water-depth list order by distance, as before.
    Array<WaterDepthSample> ties;
    for (int i = 0; i < 200000; ++i) {
        ties.Push(WaterDepths().newWaterDepthSample(10, 1 + (i * 7919) % 200000));
    }
    const auto t = WaterDepths().Sort(ties, compareWhat::depth);
    for (int i = 2; i <= t.Length(); ++i) {
        ASSERT_LT(t(i - 1).distanceFromCenter, t(i).distanceFromCenter) << i;
    }

    // Distinct keys come out exactly as an ordinary sort puts them, through GTE and LT only.
    std::mt19937 gen(3);
    std::vector<int> keys(100000);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        keys[i] = static_cast<int>(i) * 3 - 7;
    }
    std::shuffle(keys.begin(), keys.end(), gen);
    Array<int> input;
    for (int k : keys) {
        input.Push(k);
    }
    CountingComparator cmp;
    const Array<int> out = arrays.Sort(input, cmp);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(out.items(), keys);
    EXPECT_EQ(cmp.gt + cmp.lte + cmp.eq, 0);
    EXPECT_GT(cmp.lt + cmp.gte, 0);
}

TEST(ArraysSort, TheSharedInstanceSortsOnSeveralThreadsAtOnceAndASeedRepeatsThePivots) {
    // Comparisons compute candidates side by side, each sorting its depths through the one
    // shared instance: every thread must get its own list sorted, whole.
    const auto depths = [](int thread) {
        Array<WaterDepthSample> list;
        std::mt19937 gen(static_cast<std::uint32_t>(thread));
        std::uniform_real_distribution<double> d(0, 30);
        for (int i = 1; i <= 5000; ++i) {
            list.Push(statics().WaterDepths().newWaterDepthSample(d(gen), 3.0 * i));
        }
        return list;
    };
    std::vector<Array<WaterDepthSample>> sorted(4);
    {
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&, t] {
                for (int round = 0; round < 5; ++round) {
                    sorted[static_cast<std::size_t>(t)] =
                        statics().WaterDepths().Sort(depths(t), compareWhat::depth);
                }
            });
        }
        for (auto& t : threads) {
            t.join();
        }
    }
    for (int t = 0; t < 4; ++t) {
        std::vector<WaterDepthSample> expected = depths(t).items();
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(sorted[static_cast<std::size_t>(t)].items(), expected) << "thread " << t;
    }

    // Ties sorted twice after the same seed come out in the same order.
    Array<Keyed> tied;
    for (int i = 1; i <= 200; ++i) {
        tied.Push({i % 3, i});
    }
    Arrays arrays;
    const auto tags = [](const Array<Keyed>& list) {
        std::vector<int> out;
        for (const auto& k : list) {
            out.push_back(k.tag);
        }
        return out;
    };
    arrays.seed(2024);
    const auto first = tags(arrays.Sort(tied, ByKey()));
    arrays.seed(2024);
    EXPECT_EQ(tags(arrays.Sort(tied, ByKey())), first);
    Array<Keyed> inPlace = tied;
    arrays.seed(2024);
    arrays.SortInPlace(inPlace, ByKey());
    EXPECT_EQ(tags(inPlace), first);
}
