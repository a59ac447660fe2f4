#pragma once

// Hands memory that the program has freed back to the system. The C library
// keeps freed small blocks for reuse; after a window of a million lines has
// closed, that would be hundreds of megabytes held for nothing. Called from
// the event loop once such a window is gone; does nothing where the C
// library has no such call.
void returnFreedMemory();

// The same, once the event loop runs again (after the window's parts are
// deleted).
void returnFreedMemoryLater();
