// The Vgrid's cells and their storage: the item record, the item list the
// control and its callbacks read, and what the control keeps beside the list
// (the list's further blocks and the paint index). Platform-free, so that it
// also builds and is tested natively; the window class is vgrid.cpp.
//
// Storage. The list's first block is its buffer, VGRID_BLOCK_BYTES long; when
// it is full the list grows by a further block of the same size. Blocks are
// never moved nor freed while the list has items in them, so a pointer to an
// item (a callback's value pointer, the pressed item) stays good until the
// list is cleared. Reach item i with vgrid_list_fetch (or ctl_vgrid_item on
// the window): only the first block is the buffer.
//
// Paint index. Paints and hit tests look only at the items near the area or
// point asked about: items are filed by the bucket of a coarse grid over the
// logical surface that holds their top-left corner; items larger than one
// bucket are kept in a short list of their own; items added since the last
// filing are looked at one by one until there are enough of them to file
// again. The index reads each item's rectangle when it files it: rectangles
// are fixed once an item is added. Without memory for the index every query
// falls back to looking at every item.
#pragma once
#include <cstddef>
#include <cstdint>

struct VgridContext;
// The application's drawing and event function: called with the grid's
// context and a code (VGRID_CODE_*).
typedef int32_t (*VgridCallback)(VgridContext *context, int32_t code);

// VgridItem.type
inline constexpr uint32_t VGRID_INERT = 0;    // drawn only: never hit, never edited
inline constexpr uint32_t VGRID_LINEAR = 1;   // a vertical drag adds step per pixel
inline constexpr uint32_t VGRID_TIME = 2;     // like linear; Ctrl+click asks for a time
inline constexpr uint32_t VGRID_TOGGLE = 3;   // a click flips between 0 and 1
inline constexpr uint32_t VGRID_MULTIPLY = 4; // a vertical drag multiplies by step per pixel
inline constexpr uint32_t VGRID_LAST_TYPE = VGRID_MULTIPLY;

inline constexpr uint32_t VGRID_BLOCK_BYTES = 8192;   // the first block, and each block added
inline constexpr uint32_t VGRID_MAX_ITEMS = 1u << 20; // adds beyond this many items are refused

// One cell.
struct VgridItem {
    int32_t id;                 // reported in the context
    uint32_t type;              // VGRID_INERT ... VGRID_MULTIPLY
    int32_t left, top;          // rectangle in logical units; the inside is strict:
    int32_t right, bottom;      // a point on the border is outside
    float value;                // current value, kept within minimum and maximum
    float minimum, maximum;     // limits applied on every change
    float leftStep;             // per pixel of a left-button drag: amount, or factor (type 4)
    float rightStep;            // the same for the right button
    uint32_t user;              // the application's, copied to the context's itemUser
    VgridCallback itemCallback; // draws the item and hears its changes; null: the record's
                                // callback draws it and changes go unreported
};
static_assert(sizeof(void *) != 4 || (sizeof(VgridItem) == 52 && offsetof(VgridItem, value) == 24 &&
                                      offsetof(VgridItem, itemCallback) == 48),
              "VgridItem is thirteen 32-bit fields in this order");

// The item list as the control and its callbacks see it.
struct VgridItemList {
    VgridItem *buffer;    // the first block (VGRID_BLOCK_BYTES); null when set-up failed
    uint32_t count;       // items, addressed 1 to count; 0 while there is no buffer
    uint32_t capacity;    // bytes in all blocks
    uint32_t itemSize;    // sizeof (VgridItem)
    uint32_t growth;      // bytes of each block added: VGRID_BLOCK_BYTES
    uint32_t lastFetched; // the index last fetched (0: none yet)
};
static_assert(sizeof(void *) != 4 || sizeof(VgridItemList) == 24,
              "VgridItemList is six 32-bit fields in this order");

// The paint index: see the header comment.
struct VgridIndex {
    uint32_t filed;    // items 1 to filed are in the buckets or the wide list
    uint32_t failedAt; // item count at which filing last ran out of memory (0: never)
    int32_t bucketW;   // bucket width and height, logical units
    int32_t bucketH;
    uint32_t cols, rows; // buckets across and down
    uint32_t *starts;    // cols x rows + 1 offsets into entries, row by row
    uint32_t *entries;   // item indices by bucket, rising within each bucket
    uint32_t *wide;      // items wider or taller than a bucket, rising
    uint32_t wideCount;  // entries in wide
};

// What the control keeps beside the list.
struct VgridStore {
    VgridItem **blocks;  // every block in order; blocks[0] is the list's buffer
    uint32_t blockCount; // blocks allocated
    uint32_t blockSlots; // room in the blocks array
    uint32_t perBlock;   // items in one block
    int32_t width;       // logical surface the index divides
    int32_t height;
    VgridIndex index; // the paint index
};

// A logical rectangle, edges included (a paint's visible area).
struct VgridArea {
    int32_t x0, y0, x1, y1;
};

// Item indices found by a query, rising. The caller frees items.
struct VgridHits {
    uint32_t *items; // the indices
    uint32_t count;  // how many
    uint32_t slots;  // room in items
};

// Sets up an empty list for a logical surface of width x height with its
// first block. Returns 1, or 0 without memory (the list then has no buffer).
int vgrid_list_init(VgridItemList *list, VgridStore *store, int32_t width, int32_t height);
// Frees every block and the index; the list has no buffer afterwards.
void vgrid_list_release(VgridItemList *list, VgridStore *store);

// 1 when an item may be added: type 0 to 4, left < right and top < bottom,
// no NaN among the value, limits and steps, minimum not above maximum, and
// for type 4 a minimum above 0 (a product never leaves 0).
int vgrid_item_acceptable(const VgridItem *item);
// Adds a copy of item with its value clamped to its limits. Returns its
// index, or 0 when the item is not acceptable, the list holds
// VGRID_MAX_ITEMS items, the list has no buffer or memory runs out; a
// refused add changes nothing.
uint32_t vgrid_list_add(VgridItemList *list, VgridStore *store, const VgridItem *item);
// Item index (1 to count), which becomes the last fetched; null for 0 or an
// index above count (the last fetched one then stays).
VgridItem *vgrid_list_fetch(VgridItemList *list, const VgridStore *store, uint32_t index);
// Empties the list and its index. The blocks stay (see vgrid_list_trim), so
// pointers held by a running callback still point into the list's memory.
void vgrid_list_clear(VgridItemList *list, VgridStore *store);
// Frees the blocks the items no longer need, all but the first at least.
void vgrid_list_trim(VgridItemList *list, VgridStore *store);

// The first item in index order that is not inert and holds (lx, ly)
// strictly inside; 0 when there is none.
uint32_t vgrid_hit(VgridItemList *list, VgridStore *store, int32_t lx, int32_t ly);
// Fills hits with every item that meets the area (an item is left out when
// left > x1, right < x0, top > y1 or bottom < y0), in index order. Returns 1,
// or 0 when memory for the answer runs out (hits is then incomplete).
int vgrid_visible(VgridItemList *list, VgridStore *store, const VgridArea *area, VgridHits *hits);
// 1 when the item meets the area (the test above).
int vgrid_item_meets(const VgridItem *item, const VgridArea *area);
