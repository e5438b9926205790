// The Vgrid's item list and paint index: which items are refused, growth
// past the first block without moving an item, fetching, clearing and
// trimming, the item limit, and the index's answers against a plain scan of
// every item for random layouts, interleaved adds and awkward items.
#include "toolkit/controls/vgrid_items.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace
{

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

VgridItem cell(int32_t id, uint32_t type, int32_t left, int32_t top, int32_t right, int32_t bottom,
               float value = 0.5f, float minimum = 0.0f, float maximum = 1.0f)
{
    VgridItem item = {};
    item.id = id;
    item.type = type;
    item.left = left;
    item.top = top;
    item.right = right;
    item.bottom = bottom;
    item.value = value;
    item.minimum = minimum;
    item.maximum = maximum;
    item.leftStep = 1.0f;
    item.rightStep = 0.1f;
    return item;
}

struct Grid {
    VgridItemList list;
    VgridStore store;
    explicit Grid(int32_t width = 1000, int32_t height = 1000)
    {
        EXPECT_EQ(vgrid_list_init(&list, &store, width, height), 1);
    }
    ~Grid() { vgrid_list_release(&list, &store); }
    uint32_t add(const VgridItem &item) { return vgrid_list_add(&list, &store, &item); }
    VgridItem *at(uint32_t i) { return vgrid_list_fetch(&list, &store, i); }
};

TEST(VgridItems, NewListIsOneEmptyBlock)
{
    Grid g;
    EXPECT_NE(g.list.buffer, nullptr);
    EXPECT_EQ(g.list.count, 0u);
    EXPECT_EQ(g.list.capacity, VGRID_BLOCK_BYTES);
    EXPECT_EQ(g.list.itemSize, sizeof(VgridItem));
    EXPECT_EQ(g.list.growth, VGRID_BLOCK_BYTES);
    EXPECT_EQ(g.list.lastFetched, 0u);
    EXPECT_EQ(g.at(0), nullptr);
    EXPECT_EQ(g.at(1), nullptr);
}

TEST(VgridItems, BadItemsAreRefusedAndChangeNothing)
{
    struct Row {
        const char *what;
        VgridItem item;
    };
    VgridItem nanStep = cell(1, 1, 0, 0, 10, 10);
    nanStep.rightStep = kNaN;
    VgridItem nanLeftStep = cell(1, 1, 0, 0, 10, 10);
    nanLeftStep.leftStep = kNaN;
    const Row rows[] = {
        {"left = right", cell(1, 1, 10, 0, 10, 10)},
        {"left > right", cell(1, 1, 11, 0, 10, 10)},
        {"top = bottom", cell(1, 1, 0, 5, 10, 5)},
        {"top > bottom", cell(1, 1, 0, 6, 10, 5)},
        {"type 5", cell(1, 5, 0, 0, 10, 10)},
        {"type 0xFFFFFFFF", cell(1, 0xFFFFFFFFu, 0, 0, 10, 10)},
        {"minimum above maximum", cell(1, 1, 0, 0, 10, 10, 0.5f, 2.0f, 1.0f)},
        {"NaN value", cell(1, 1, 0, 0, 10, 10, kNaN)},
        {"NaN minimum", cell(1, 1, 0, 0, 10, 10, 0.5f, kNaN)},
        {"NaN maximum", cell(1, 1, 0, 0, 10, 10, 0.5f, 0.0f, kNaN)},
        {"NaN right step", nanStep},
        {"NaN left step", nanLeftStep},
        {"type 4 down to 0", cell(1, 4, 0, 0, 10, 10, 0.0f, 0.0f, 4.0f)},
        {"type 4 below 0", cell(1, 4, 0, 0, 10, 10, 1.0f, -1.0f, 4.0f)},
    };
    Grid g;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(vgrid_item_acceptable(&row.item), 0);
        EXPECT_EQ(g.add(row.item), 0u);
        EXPECT_EQ(g.list.count, 0u);
    }
    EXPECT_EQ(vgrid_list_add(&g.list, &g.store, nullptr), 0u);
}

TEST(VgridItems, AddedValuesAreClampedToTheirLimits)
{
    struct Row {
        VgridItem item;
        float stored;
    };
    const Row rows[] = {
        {cell(1, 1, 0, 0, 10, 10, 5.0f, 0.0f, 1.0f), 1.0f},
        {cell(2, 1, 0, 0, 10, 10, -5.0f, 0.0f, 1.0f), 0.0f},
        {cell(3, 1, 0, 0, 10, 10, kInf, 0.0f, 1.0f), 1.0f},
        {cell(4, 3, 0, 0, 10, 10, 0.5f, 0.0f, 1.0f), 0.5f},
        {cell(5, 4, 0, 0, 10, 10, 0.0f, 0.01f, 4.0f), 0.01f}, // type 4 at 0: its minimum
        {cell(6, 0, -50, -50, -40, -40, 3.0f, 3.0f, 3.0f), 3.0f},
        {cell(7, 1, 0, 0, 10, 10, 7.0f, -kInf, kInf), 7.0f},
    };
    Grid g;
    for (const Row &row : rows) {
        uint32_t index = g.add(row.item);
        ASSERT_NE(index, 0u) << row.item.id;
        EXPECT_EQ(g.at(index)->value, row.stored) << row.item.id;
        EXPECT_EQ(g.at(index)->id, row.item.id);
    }
    EXPECT_EQ(g.list.count, std::size(rows));
}

// Items keep their values and addresses as the list grows block by block.
TEST(VgridItems, GrowthAddsBlocksAndMovesNothing)
{
    Grid g;
    const uint32_t perBlock = VGRID_BLOCK_BYTES / sizeof(VgridItem);
    const uint32_t n = perBlock * 3 + 5;
    std::vector<VgridItem *> seen;
    for (uint32_t i = 1; i <= n; ++i) {
        VgridItem item = cell((int32_t)i, 1, 0, 0, 10, 10, (float)i, 0.0f, 1e6f);
        ASSERT_EQ(g.add(item), i);
        seen.push_back(g.at(i));
        if (i == perBlock) {
            EXPECT_EQ(g.list.capacity, VGRID_BLOCK_BYTES);
        }
        if (i == perBlock + 1) {
            EXPECT_EQ(g.list.capacity, 2 * VGRID_BLOCK_BYTES);
        }
    }
    EXPECT_EQ(g.list.capacity, 4 * VGRID_BLOCK_BYTES);
    EXPECT_EQ(g.list.buffer, seen[0]) << "the first block stays the buffer";
    for (uint32_t i = 1; i <= n; ++i) {
        EXPECT_EQ(g.at(i), seen[i - 1]);
        EXPECT_EQ(g.at(i)->value, (float)i);
        EXPECT_EQ(g.at(i)->id, (int32_t)i);
    }
}

TEST(VgridItems, FetchRecordsTheLastIndexFetched)
{
    Grid g;
    g.add(cell(1, 1, 0, 0, 10, 10));
    g.add(cell(2, 1, 0, 0, 10, 10));
    EXPECT_EQ(g.at(2)->id, 2);
    EXPECT_EQ(g.list.lastFetched, 2u);
    EXPECT_EQ(g.at(3), nullptr);
    EXPECT_EQ(g.at(0), nullptr);
    EXPECT_EQ(g.list.lastFetched, 2u) << "a fetch that yields nothing leaves it";
    EXPECT_EQ(g.at(1)->id, 1);
    EXPECT_EQ(g.list.lastFetched, 1u);
}

// A clear keeps the blocks (a running callback may still hold an item) until
// the trim; the trim keeps the first block and what the items need.
TEST(VgridItems, ClearKeepsMemoryUntilTheTrim)
{
    Grid g;
    const uint32_t perBlock = VGRID_BLOCK_BYTES / sizeof(VgridItem);
    for (uint32_t i = 1; i <= perBlock * 2 + 1; ++i)
        g.add(cell((int32_t)i, 1, 0, 0, 10, 10, 0.25f));
    VgridItem *held = g.at(perBlock * 2 + 1);
    vgrid_list_clear(&g.list, &g.store);
    EXPECT_EQ(g.list.count, 0u);
    EXPECT_EQ(g.list.lastFetched, 0u);
    EXPECT_EQ(g.at(1), nullptr);
    EXPECT_EQ(held->value, 0.25f) << "still readable before the trim";
    held->value = 0.75f;
    EXPECT_EQ(g.list.capacity, 3 * VGRID_BLOCK_BYTES);
    g.add(cell(9, 1, 0, 0, 10, 10));
    vgrid_list_trim(&g.list, &g.store);
    EXPECT_EQ(g.list.capacity, VGRID_BLOCK_BYTES);
    EXPECT_EQ(g.at(1)->id, 9);
    vgrid_list_clear(&g.list, &g.store);
    vgrid_list_trim(&g.list, &g.store);
    EXPECT_EQ(g.list.capacity, VGRID_BLOCK_BYTES) << "the first block always stays";
    EXPECT_EQ(g.add(cell(10, 1, 0, 0, 10, 10)), 1u);
}

TEST(VgridItems, AMillionItemsFitAndTheLimitRefusesMore)
{
    Grid g(100000, 100000);
    VgridItem item = cell(0, 1, 0, 0, 10, 10);
    for (uint32_t i = 1; i <= 1000000; ++i) {
        item.left = (int32_t)(i % 1000) * 100;
        item.right = item.left + 90;
        item.top = (int32_t)(i / 1000) * 100;
        item.bottom = item.top + 90;
        item.id = (int32_t)i;
        ASSERT_EQ(g.add(item), i);
    }
    EXPECT_EQ(g.at(1000000)->id, 1000000);
    EXPECT_EQ(vgrid_hit(&g.list, &g.store, 150, 50), 1u);
    EXPECT_EQ(vgrid_hit(&g.list, &g.store, 50, 150), 1000u);
    EXPECT_EQ(vgrid_hit(&g.list, &g.store, 50, 50), 0u);
    for (uint32_t i = 1000001; i <= VGRID_MAX_ITEMS; ++i)
        ASSERT_EQ(g.add(item), i);
    EXPECT_EQ(g.add(item), 0u);
    EXPECT_EQ(g.list.count, VGRID_MAX_ITEMS);
}

// ---------------------------------------------------------------------------
// The index against a plain scan
// ---------------------------------------------------------------------------

uint32_t scan_hit(Grid &g, int32_t lx, int32_t ly)
{
    for (uint32_t i = 1; i <= g.list.count; ++i) {
        const VgridItem *it = g.at(i);
        if (it->type != 0 && it->left < lx && lx < it->right && it->top < ly && ly < it->bottom)
            return i;
    }
    return 0;
}

std::vector<uint32_t> scan_visible(Grid &g, const VgridArea &area)
{
    std::vector<uint32_t> found;
    for (uint32_t i = 1; i <= g.list.count; ++i) {
        if (vgrid_item_meets(g.at(i), &area))
            found.push_back(i);
    }
    return found;
}

std::vector<uint32_t> index_visible(Grid &g, const VgridArea &area)
{
    VgridHits hits = {};
    EXPECT_EQ(vgrid_visible(&g.list, &g.store, &area, &hits), 1);
    std::vector<uint32_t> found(hits.items, hits.items + hits.count);
    std::free(hits.items);
    return found;
}

// Random items: mostly small cells, some wide or tall ones, some partly or
// wholly outside the surface, some inert, overlapping freely.
VgridItem random_item(std::mt19937 &rng, int32_t w, int32_t h, uint32_t id)
{
    std::uniform_int_distribution<int32_t> x(-50, w + 50), y(-50, h + 50), small(1, 30),
        kind(0, 19), type(0, 4);
    int32_t left = x(rng), top = y(rng);
    int32_t width = small(rng), height = small(rng);
    int k = kind(rng);
    if (k == 0)
        width = w / 2 + small(rng);
    else if (k == 1)
        height = h + 100;
    else if (k == 2)
        left = -100000;
    VgridItem item = cell((int32_t)id, (uint32_t)type(rng), left, top, left + width, top + height,
                          1.0f, 0.5f, 2.0f);
    return item;
}

void check_queries(Grid &g, std::mt19937 &rng, int32_t w, int32_t h, int rounds)
{
    std::uniform_int_distribution<int32_t> x(-60, w + 60), y(-60, h + 60), span(0, 200);
    for (int r = 0; r < rounds; ++r) {
        int32_t px = x(rng), py = y(rng);
        ASSERT_EQ(vgrid_hit(&g.list, &g.store, px, py), scan_hit(g, px, py)) << px << "," << py;
        VgridArea area = {px, py, px + span(rng), py + span(rng)};
        ASSERT_EQ(index_visible(g, area), scan_visible(g, area))
            << area.x0 << "," << area.y0 << " " << area.x1 << "," << area.y1;
    }
}

TEST(VgridIndex, AnswersLikeAPlainScanForRandomLayouts)
{
    const uint32_t counts[] = {0, 1, 40, 64, 65, 300, 5000};
    for (uint32_t n : counts) {
        SCOPED_TRACE(n);
        std::mt19937 rng(n + 7);
        Grid g(800, 600);
        for (uint32_t i = 1; i <= n; ++i)
            ASSERT_EQ(g.add(random_item(rng, 800, 600, i)), i);
        check_queries(g, rng, 800, 600, 400);
    }
}

// Adds between queries: the items added since the last filing are found too.
TEST(VgridIndex, AnswersLikeAPlainScanWhileItemsAreAdded)
{
    std::mt19937 rng(3);
    Grid g(2000, 300);
    for (uint32_t i = 1; i <= 3000; ++i) {
        ASSERT_EQ(g.add(random_item(rng, 2000, 300, i)), i);
        if (i % 37 == 0)
            check_queries(g, rng, 2000, 300, 5);
    }
    vgrid_list_clear(&g.list, &g.store);
    EXPECT_EQ(vgrid_hit(&g.list, &g.store, 10, 10), 0u);
    for (uint32_t i = 1; i <= 500; ++i)
        ASSERT_EQ(g.add(random_item(rng, 2000, 300, i)), i);
    check_queries(g, rng, 2000, 300, 200);
}

// The first item in index order wins where items overlap; borders and inert
// items never hit.
TEST(VgridIndex, HitsAreStrictAndTheFirstItemWins)
{
    Grid g(100, 100);
    for (int i = 0; i < 100; ++i) // enough to be filed into buckets
        g.add(cell(100 + i, 1, 50 + i % 10, 50 + i / 10, 51 + i % 10, 52 + i / 10));
    uint32_t inert = g.add(cell(1, 0, 0, 0, 40, 40));
    uint32_t under = g.add(cell(2, 1, 0, 0, 40, 40));
    uint32_t over = g.add(cell(3, 3, 10, 10, 30, 30));
    EXPECT_EQ(vgrid_hit(&g.list, &g.store, 20, 20), under);
    EXPECT_EQ(vgrid_hit(&g.list, &g.store, 5, 5), under);
    EXPECT_EQ(vgrid_hit(&g.list, &g.store, 0, 5), 0u) << "on the left border";
    EXPECT_EQ(vgrid_hit(&g.list, &g.store, 40, 5), 0u) << "on the right border";
    EXPECT_EQ(vgrid_hit(&g.list, &g.store, 5, 40), 0u) << "on the bottom border";
    EXPECT_NE(inert, 0u);
    EXPECT_NE(over, 0u);
    VgridArea all = {0, 0, 100, 100};
    EXPECT_EQ(index_visible(g, all).size(), 103u);
    VgridArea corner = {0, 0, 10, 10};
    EXPECT_EQ(index_visible(g, corner), (std::vector<uint32_t>{inert, under, over}));
}

} // namespace
