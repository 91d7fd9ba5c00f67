// The decompressor of the archive format's method for unpack versions 13 to 20:
// LZ77 over a 1 MiB window with canonical Huffman codes, code lengths sent as
// differences to the previous set, an audio mode, and state that runs on across
// the entries of a solid archive.
#pragma once

#include <cstdint>

// Decodes the current entry (reader state: file header, bytes_left, found flag,
// output block and count) into window, WINDOW_SIZE bytes, and for the wanted entry
// on into the output block. Packed bytes come from read_packed. Success is judged
// by the reader's length and CRC check. Called by the reader for every compressed
// entry it processes; the first one of a call always starts from a clean state.
void lz_unpack(uint8_t* window);

// Tells the decompressor that the window is freshly zeroed (it then skips zeroing
// it again at the next reset). Called by the reader after allocating the window.
void note_clean_window();
