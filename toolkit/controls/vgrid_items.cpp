// The Vgrid's item list and paint index; see vgrid_items.h.
//
// Contents: 1. items  2. the list and its blocks  3. the paint index
//           4. queries
#include "toolkit/controls/vgrid_items.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------
// 1. Items
// ---------------------------------------------------------------------------

int vgrid_item_acceptable(const VgridItem *item)
{
    if (item == nullptr || item->type > VGRID_LAST_TYPE)
        return 0;
    if (item->left >= item->right || item->top >= item->bottom)
        return 0;
    const float numbers[] = {item->value, item->minimum, item->maximum, item->leftStep,
                             item->rightStep};
    for (float number : numbers) {
        if (std::isnan(number))
            return 0;
    }
    if (item->minimum > item->maximum)
        return 0;
    if (item->type == VGRID_MULTIPLY && !(item->minimum > 0.0f))
        return 0;
    return 1;
}

int vgrid_item_meets(const VgridItem *item, const VgridArea *area)
{
    return !(item->left > area->x1 || item->right < area->x0 || item->top > area->y1 ||
             item->bottom < area->y0);
}

// A point strictly inside an item that is not inert.
static bool item_holds(const VgridItem *item, int32_t lx, int32_t ly)
{
    return item->type != VGRID_INERT && item->left < lx && lx < item->right && item->top < ly &&
           ly < item->bottom;
}

// ---------------------------------------------------------------------------
// 2. The list and its blocks
// ---------------------------------------------------------------------------

static void index_free(VgridIndex *index);

// Item index (1 to count) without recording the fetch.
static VgridItem *item_at(const VgridStore *store, uint32_t index)
{
    uint32_t n = index - 1;
    return store->blocks[n / store->perBlock] + n % store->perBlock;
}

int vgrid_list_init(VgridItemList *list, VgridStore *store, int32_t width, int32_t height)
{
    std::memset(list, 0, sizeof *list);
    std::memset(store, 0, sizeof *store);
    store->width = width > 0 ? width : 1;
    store->height = height > 0 ? height : 1;
    store->perBlock = VGRID_BLOCK_BYTES / sizeof(VgridItem);
    list->itemSize = sizeof(VgridItem);
    list->growth = VGRID_BLOCK_BYTES;
    const uint32_t slots = 8;
    store->blocks = static_cast<VgridItem **>(std::malloc(slots * sizeof(VgridItem *)));
    VgridItem *first = static_cast<VgridItem *>(std::malloc(VGRID_BLOCK_BYTES));
    if (store->blocks == nullptr || first == nullptr) {
        std::free(store->blocks);
        std::free(first);
        store->blocks = nullptr;
        return 0;
    }
    store->blocks[0] = first;
    store->blockCount = 1;
    store->blockSlots = slots;
    list->buffer = first;
    list->capacity = VGRID_BLOCK_BYTES;
    return 1;
}

void vgrid_list_release(VgridItemList *list, VgridStore *store)
{
    for (uint32_t b = 0; b < store->blockCount; ++b)
        std::free(store->blocks[b]);
    std::free(store->blocks);
    index_free(&store->index);
    store->blocks = nullptr;
    store->blockCount = 0;
    store->blockSlots = 0;
    list->buffer = nullptr;
    list->count = 0;
    list->capacity = 0;
    list->lastFetched = 0;
}

// Adds one block of the growth size. Returns 1, or 0 without memory.
static int add_block(VgridItemList *list, VgridStore *store)
{
    if (store->blockCount == store->blockSlots) {
        uint32_t slots = store->blockSlots * 2;
        void *grown = std::realloc(store->blocks, slots * sizeof(VgridItem *));
        if (grown == nullptr)
            return 0;
        store->blocks = static_cast<VgridItem **>(grown);
        store->blockSlots = slots;
    }
    VgridItem *block = static_cast<VgridItem *>(std::malloc(list->growth));
    if (block == nullptr)
        return 0;
    store->blocks[store->blockCount++] = block;
    list->capacity += list->growth;
    return 1;
}

uint32_t vgrid_list_add(VgridItemList *list, VgridStore *store, const VgridItem *item)
{
    if (list->buffer == nullptr || !vgrid_item_acceptable(item) || list->count >= VGRID_MAX_ITEMS)
        return 0;
    if (list->count / store->perBlock >= store->blockCount && !add_block(list, store))
        return 0;
    VgridItem *slot = item_at(store, list->count + 1);
    *slot = *item;
    if (slot->value > slot->maximum)
        slot->value = slot->maximum;
    if (slot->value < slot->minimum)
        slot->value = slot->minimum;
    return ++list->count;
}

VgridItem *vgrid_list_fetch(VgridItemList *list, const VgridStore *store, uint32_t index)
{
    if (list->buffer == nullptr || index == 0 || index > list->count)
        return nullptr;
    list->lastFetched = index;
    return item_at(store, index);
}

void vgrid_list_clear(VgridItemList *list, VgridStore *store)
{
    list->count = 0;
    list->lastFetched = 0;
    index_free(&store->index);
}

void vgrid_list_trim(VgridItemList *list, VgridStore *store)
{
    uint32_t needed = (list->count + store->perBlock - 1) / store->perBlock;
    if (needed < 1)
        needed = 1;
    while (store->blockCount > needed) {
        std::free(store->blocks[--store->blockCount]);
        list->capacity -= list->growth;
    }
}

// ---------------------------------------------------------------------------
// 3. The paint index
// ---------------------------------------------------------------------------

static const uint32_t kItemsPerBucket = 4; // aimed at when choosing the grid
static const uint32_t kMaxBuckets = 65536; // cols x rows at most
static const uint32_t kScanAllowance = 64; // unfiled items looked at one by one, at least

static void index_free(VgridIndex *index)
{
    std::free(index->starts);
    std::free(index->entries);
    std::free(index->wide);
    std::memset(index, 0, sizeof *index);
}

static int64_t floor_div(int64_t a, int64_t b)
{
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The bucket column (or row) of logical coordinate v, edges clamped.
static uint32_t bucket_of(int64_t v, int32_t size, uint32_t n)
{
    int64_t b = floor_div(v, size);
    return b < 0 ? 0u : (b >= (int64_t)n ? n - 1 : (uint32_t)b);
}

static bool is_wide(const VgridItem *item, const VgridIndex *index)
{
    return (int64_t)item->right - item->left > index->bucketW ||
           (int64_t)item->bottom - item->top > index->bucketH;
}

static uint32_t bucket_of_item(const VgridItem *item, const VgridIndex *index)
{
    return bucket_of(item->top, index->bucketH, index->rows) * index->cols +
           bucket_of(item->left, index->bucketW, index->cols);
}

// Chooses buckets of about kItemsPerBucket items, shaped like the surface
// and at least twice the average item in each direction, so that most items
// fit in one bucket.
static void choose_grid(const VgridItemList *list, const VgridStore *store, VgridIndex *index)
{
    const int64_t w = store->width, h = store->height;
    uint64_t sumW = 0, sumH = 0;
    for (uint32_t i = 1; i <= list->count; ++i) {
        const VgridItem *item = item_at(store, i);
        sumW += (uint64_t)std::clamp<int64_t>((int64_t)item->right - item->left, 1, w);
        sumH += (uint64_t)std::clamp<int64_t>((int64_t)item->bottom - item->top, 1, h);
    }
    const int64_t averageW = (int64_t)(sumW / list->count),
                  averageH = (int64_t)(sumH / list->count);
    uint32_t cells = std::clamp(list->count / kItemsPerBucket, 1u, kMaxBuckets);
    double across = std::sqrt((double)cells * (double)w / (double)h);
    int64_t cols = std::clamp<int64_t>(std::llround(across), 1, cells);
    int64_t rows = std::max<int64_t>(cells / cols, 1);
    int64_t bucketW = std::max((w + cols - 1) / cols, 2 * averageW);
    int64_t bucketH = std::max((h + rows - 1) / rows, 2 * averageH);
    index->bucketW = (int32_t)std::min<int64_t>(bucketW, INT32_MAX);
    index->bucketH = (int32_t)std::min<int64_t>(bucketH, INT32_MAX);
    index->cols = (uint32_t)((w + index->bucketW - 1) / index->bucketW);
    index->rows = (uint32_t)((h + index->bucketH - 1) / index->bucketH);
}

// Files items 1 to count. Returns 1, or 0 without memory (the index is
// then empty and queries look at every item).
static int index_build(const VgridItemList *list, VgridStore *store)
{
    VgridIndex *index = &store->index;
    index_free(index);
    const uint32_t n = list->count;
    choose_grid(list, store, index);
    const uint32_t cells = index->cols * index->rows;
    index->starts = static_cast<uint32_t *>(std::calloc(cells + 1, sizeof(uint32_t)));
    uint32_t *next = static_cast<uint32_t *>(std::malloc(cells * sizeof(uint32_t)));
    if (index->starts == nullptr || next == nullptr) {
        std::free(next);
        index_free(index);
        return 0;
    }
    for (uint32_t i = 1; i <= n; ++i) {
        const VgridItem *item = item_at(store, i);
        if (is_wide(item, index))
            ++index->wideCount;
        else
            ++index->starts[bucket_of_item(item, index) + 1];
    }
    for (uint32_t b = 0; b < cells; ++b) {
        index->starts[b + 1] += index->starts[b];
        next[b] = index->starts[b];
    }
    index->entries =
        static_cast<uint32_t *>(std::malloc((n - index->wideCount + 1) * sizeof(uint32_t)));
    index->wide = static_cast<uint32_t *>(std::malloc((index->wideCount + 1) * sizeof(uint32_t)));
    if (index->entries == nullptr || index->wide == nullptr) {
        std::free(next);
        index_free(index);
        return 0;
    }
    uint32_t wide = 0;
    for (uint32_t i = 1; i <= n; ++i) {
        const VgridItem *item = item_at(store, i);
        if (is_wide(item, index))
            index->wide[wide++] = i;
        else
            index->entries[next[bucket_of_item(item, index)]++] = i;
    }
    std::free(next);
    index->filed = n;
    return 1;
}

// Files the items again once more were added since the last filing than
// are worth looking at one by one. After running out of memory it tries
// again only when the count has changed.
static void index_refresh(const VgridItemList *list, VgridStore *store)
{
    VgridIndex *index = &store->index;
    uint32_t unfiled = list->count - index->filed;
    if (unfiled <= std::max(kScanAllowance, index->filed / 4) || index->failedAt == list->count)
        return;
    if (!index_build(list, store))
        index->failedAt = list->count;
}

// Buckets that may hold an item meeting the area: an item is filed by its
// top-left corner and is at most one bucket wide and high.
struct BucketSpan {
    uint32_t col0, col1, row0, row1;
};

static BucketSpan bucket_span(const VgridIndex *index, int64_t x0, int64_t y0, int64_t x1,
                              int64_t y1)
{
    return {bucket_of(x0 - index->bucketW, index->bucketW, index->cols),
            bucket_of(x1, index->bucketW, index->cols),
            bucket_of(y0 - index->bucketH, index->bucketH, index->rows),
            bucket_of(y1, index->bucketH, index->rows)};
}

// ---------------------------------------------------------------------------
// 4. Queries
// ---------------------------------------------------------------------------

uint32_t vgrid_hit(VgridItemList *list, VgridStore *store, int32_t lx, int32_t ly)
{
    if (list->buffer == nullptr || list->count == 0)
        return 0;
    index_refresh(list, store);
    const VgridIndex *index = &store->index;
    uint32_t best = 0;
    if (index->filed > 0) {
        // Bucket lists rise, so each one's first hit is its best.
        BucketSpan span = bucket_span(index, lx, ly, lx, ly);
        for (uint32_t row = span.row0; row <= span.row1; ++row) {
            for (uint32_t col = span.col0; col <= span.col1; ++col) {
                uint32_t b = row * index->cols + col;
                for (uint32_t k = index->starts[b]; k < index->starts[b + 1]; ++k) {
                    uint32_t i = index->entries[k];
                    if (best != 0 && i > best)
                        break;
                    if (item_holds(item_at(store, i), lx, ly)) {
                        best = i;
                        break;
                    }
                }
            }
        }
        for (uint32_t k = 0; k < index->wideCount; ++k) {
            uint32_t i = index->wide[k];
            if (best != 0 && i > best)
                break;
            if (item_holds(item_at(store, i), lx, ly)) {
                best = i;
                break;
            }
        }
    }
    if (best != 0)
        return best; // every unfiled item comes after the filed ones
    for (uint32_t i = index->filed + 1; i <= list->count; ++i) {
        if (item_holds(item_at(store, i), lx, ly))
            return i;
    }
    return 0;
}

// Appends index i to hits. Returns 1, or 0 without memory.
static int hits_push(VgridHits *hits, uint32_t i)
{
    if (hits->count == hits->slots) {
        uint32_t slots = hits->slots < 64 ? 64 : hits->slots * 2;
        void *grown = std::realloc(hits->items, slots * sizeof(uint32_t));
        if (grown == nullptr)
            return 0;
        hits->items = static_cast<uint32_t *>(grown);
        hits->slots = slots;
    }
    hits->items[hits->count++] = i;
    return 1;
}

int vgrid_visible(VgridItemList *list, VgridStore *store, const VgridArea *area, VgridHits *hits)
{
    hits->count = 0;
    if (list->buffer == nullptr || list->count == 0)
        return 1;
    index_refresh(list, store);
    const VgridIndex *index = &store->index;
    bool rising = true; // buckets and the wide list come in no common order
    uint32_t last = 0;
    auto take = [&](uint32_t i) {
        if (!vgrid_item_meets(item_at(store, i), area))
            return 1;
        rising = rising && i > last;
        last = i;
        return hits_push(hits, i);
    };
    if (index->filed > 0) {
        BucketSpan span = bucket_span(index, area->x0, area->y0, area->x1, area->y1);
        for (uint32_t row = span.row0; row <= span.row1; ++row) {
            for (uint32_t col = span.col0; col <= span.col1; ++col) {
                uint32_t b = row * index->cols + col;
                for (uint32_t k = index->starts[b]; k < index->starts[b + 1]; ++k) {
                    if (!take(index->entries[k]))
                        return 0;
                }
            }
        }
        for (uint32_t k = 0; k < index->wideCount; ++k) {
            if (!take(index->wide[k]))
                return 0;
        }
    }
    for (uint32_t i = index->filed + 1; i <= list->count; ++i) {
        if (!take(i))
            return 0;
    }
    if (!rising)
        std::sort(hits->items, hits->items + hits->count);
    return 1;
}
