#pragma once

#include <cstddef>
#include <cstdint>

// The growable blocks of the byte buffers and the event queue come from here rather than straight
// from the C allocator, so that one seam can watch them and make them fail (CAllocationWatch). A
// block may change owners (a received file is handed from the receive buffer to the event queue),
// so whoever owns it last frees it with FreeBlock.

// Like realloc: a block of `size` bytes that begins with the bytes of `block` (null: a new block).
// Null, with `block` untouched, when memory cannot be had.
void* ResizeBlock(void* block, size_t size);
void FreeBlock(void* block);
// Bytes in the blocks this thread holds right now.
int64_t LiveBlockBytes();
