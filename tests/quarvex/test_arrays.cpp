// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <quarvex/quarvex.h>

#include "quarvex_test_support.h"

#include <algorithm>
#include <random>

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
