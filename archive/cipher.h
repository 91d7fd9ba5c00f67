// The archive format's 128-bit entry cipher: 32 Feistel rounds over four 32-bit
// words, with a key that changes after every 16-byte block. Process-wide key state:
// one enciphered entry at a time, read (reader) or written (writer).
#pragma once

#include <cstdint>

// Sets the key words and the substitution table from the password (up to 255
// bytes are used). Called before the first block of every enciphered entry.
void prepare_cipher(const char* password);

// Enciphers 16 bytes in place, then advances the key with the enciphered bytes.
// Called by prepare_cipher and by the archive writer, block after block.
void encipher_block(uint8_t* block);

// Deciphers 16 bytes in place, then advances the key with the enciphered bytes it
// was given, so both directions keep the same key state. Called by the reader.
void decipher_block(uint8_t* block);

// Folds 16 bytes into the key: K[i mod 4] ^= crc_table[bytes[i]].
void mix_key(const uint8_t* bytes);

// The current key words K0..K3.
void cipher_key(uint32_t out[4]);
