// What the toolkit core's files share among themselves and no control needs:
// building and releasing the drawing resources and the round-mask cache.
#pragma once
#include <windows.h>

// Loads the 13 bitmaps from instance, sets the palette to the colours the
// screen can show and creates the brushes, pens, dash-dot pen and fonts.
// An object that cannot be made leaves a null slot.
void ctl_resources_build(HINSTANCE instance);
// Deletes every drawing resource and clears its slot; null slots are skipped.
// Every kept picture is let go first.
void ctl_resources_release(void);
// Lets every kept picture go: its DC deselects it and is deleted.
void ctl_kept_pictures_release(void);

// Empties the round-mask cache and forgets the scratch bitmap (start-up).
void ctl_mask_cache_forget(void);
// Deletes every cached mask and the scratch bitmap, and empties the cache.
void ctl_mask_cache_release(void);
