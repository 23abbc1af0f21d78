#!/usr/bin/env python3
"""Writes the seed inputs of the native fuzz drivers into this folder.

Each driver reads its input front to back (fuzz/native/support/ByteReader.h);
the byte layouts below follow the drivers' reads. Needs python3-cryptography
for the stored strings. Run it again after a driver's input layout changes.
"""
import os
import struct

from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes

HERE = os.path.dirname(os.path.abspath(__file__))


def word(value):
    return struct.pack('<H', value)


def units(text):
    return b''.join(word(ord(c)) for c in text)


def write(path, data):
    os.makedirs(os.path.join(HERE, os.path.dirname(path)), exist_ok=True)
    with open(os.path.join(HERE, path), 'wb') as f:
        f.write(data)


# rijndael: an operation byte (0 Initialize, 1 Update, 2 Final, 3 Convert,
# 4 Reset, 5 round trip), then its arguments (rijndael/CipherSession.cpp).
KEY16 = bytes(range(16))
KEY32 = bytes(range(32))
IV = bytes(range(0xF0, 0x100))
RESET = bytes([4])


def initialize(direction, key_choice, mode, flags, key, iv):
    return bytes([0, direction, key_choice, mode, flags]) + key + bytes([len(iv)]) + iv


def stream(op, flags, data, space):
    return bytes([op, flags]) + word(len(data)) + data + word(space)


def final(flags, space):
    return bytes([2, flags]) + word(space)


def round_trip(choice, key_length, text, pieces):
    return bytes([5, choice]) + bytes(range(key_length)) + IV + word(len(text) - 1) + text + bytes(pieces)


# The FIPS-197 C.1 key and block in ECB, then a Final with no block left.
write('rijndael/ecb128-encrypt-block',
      initialize(0, 0, 0, 0, KEY16, b'') + stream(1, 0, bytes.fromhex('00112233445566778899aabbccddeeff'), 16) +
      final(0, 16) + RESET)
# CBC AES-256 decryption into output spaces smaller than the input.
write('rijndael/cbc256-decrypt-short-spaces',
      initialize(1, 2, 1, 0, KEY32, IV) + stream(1, 0, bytes(range(48)), 5) + final(0, 3) + RESET)
# Refused keys (20 bytes; none) and mode, calls in the wrong stage, in place.
write('rijndael/refused-initialize-and-stages',
      initialize(0, 83, 4, 0, bytes(20), b'') + initialize(0, 0, 0, 1, KEY16, b'') +
      initialize(0, 0, 3, 0, KEY16, b'') + stream(3, 0, b'abc', 16) + final(0, 16) + RESET +
      initialize(0, 0, 2, 0, KEY16, IV) + stream(3, 4, b'in place', 32) + stream(1, 0, b'x', 16) + RESET)
# Round trips. Choice: key 16 + 8 * (c % 3), mode (c // 3) % 3, bit 7 in place.
write('rijndael/roundtrip-cfb1', round_trip(6, 16, b'twenty bytes of text', [3, 7, 1, 0, 2]))
write('rijndael/roundtrip-cbc192-in-place',
      round_trip(0x82, 24, b'C:\\Program Files\\Brennix\\Pellam!', [0, 5, 9, 1, 1]))

# stringcrypt: a signed byte added to half the text's size for `length`,
# then the stored text.
MASK = [0x5D3A9C17, 0xE8046BB2, 0x1FC7D259, 0x9A6E30C4]
PIECES = [0x29F3A05C, 0x7B1D94E6, 0xC2588B3F, 0x40E7D91A]
STRING_KEY = b''.join(struct.pack('<I', m ^ p) for m, p in zip(MASK, PIECES))


def stored(text):
    data = text.encode('utf-8') or bytes([16] * 16)
    pad = (16 - len(data) % 16) % 16
    data += bytes([pad]) * pad
    encryptor = Cipher(algorithms.AES(STRING_KEY), modes.CBC(bytes(16))).encryptor()
    return (encryptor.update(data) + encryptor.finalize()).hex().upper().encode()


write('stringcrypt/games-folder', b'\x00' + stored('C:\\Games'))
write('stringcrypt/length-short', b'\xf0' + stored('D:\\Spiele\\Übersicht'))
write('stringcrypt/length-long', b'\x30' + stored('D:\\Spiele\\Übersicht'))
write('stringcrypt/non-hex-and-odd-digits', b'\x00' + b'zz0G1' + stored('x')[5:] + b'7')

# jorvex: UTF-8 JSON text and a zero byte, read into the first value; then an
# operation byte and its arguments (jorvex/JorvexFuzz.cpp). A handle choice
# c picks the default (c % 8 == 0), made-up words (1), a mutated handle (2),
# owned handle c // 8 (3, 4) or view c // 8 (5 to 7).
OWNED = 3
VIEW = 5


def text(value):
    return bytes([0]) + value.encode() + b'\0'


write('jorvex/stop-request-walk',
      b'{"TaskID":0,"StopList":[{"PID":1234,"Path":"c:\\\\apps\\\\game.exe"}]}\0' +
      bytes([3, OWNED]) + text('StopList') + bytes([4, VIEW, 0]) + bytes([3, VIEW + 8]) + text('PID') +
      bytes([6, VIEW + 16]) + bytes([13, OWNED]) + word(2) + bytes([2, 0]))
write('jorvex/build-and-share',
      b'null\0' + bytes([0]) + bytes([1, OWNED]) + bytes([3, OWNED]) + text('Apps') + bytes([4, VIEW, 0]) +
      bytes([9, VIEW + 8]) + text('Chess') + bytes([8, VIEW]) + word(7) + word(0) +
      bytes([11, OWNED + 8, OWNED]) + bytes([10, 1, 1]) + bytes([7, VIEW + 8]) + word(40) +
      bytes([13, OWNED]) + word(200) + bytes([2, 0, 2, 2]))
write('jorvex/surrogates-and-escapes',
      '["\\ud83d\\ude00","\\u00e9","tab\\t","ü€"]'.encode() + b'\0' + bytes([12, OWNED]) + text('["\\ud800"]') +
      bytes([12, OWNED, 1, 3]) + word(0xD800) + word(0x41) + word(0xDC00) + bytes([13, OWNED]) + word(100))
write('jorvex/too-deep',
      b'[' * 257 + b']' * 257 + b'\0' + bytes([12, OWNED]) + text('[' * 256 + ']' * 256) +
      bytes([4, OWNED, 0]) + bytes([12, VIEW]) + text('[' * 256 + ']' * 256))
write('jorvex/made-up-handles',
      b'{"a":1}\0' + bytes([6, 1]) + bytes(24) + bytes([6, 2, 0, 9]) + bytes([2, 1]) + b'\x01' * 24 +
      bytes([7, 0, 0, 0]))

# logbuffer: an operation byte (0 C string, 1 std::wstring, 2 null, 3 to 6
# numbers as uint32_t, int, long, unsigned long) and its arguments.
write('logbuffer/strings-nulls-numbers',
      bytes([0, 5]) + units('ab\0cd') + bytes([1, 5]) + units('ab\0cd') + bytes([2]) +
      bytes([3]) + word(0) + word(0) + bytes([3]) + word(0xBEEF) + word(0xDEAD) +
      bytes([4]) + word(0xFFFF) + word(0xFFFF) + bytes([5]) + word(0x10) + word(0) +
      bytes([6]) + word(1) + word(0) + word(2) + word(0))
write('logbuffer/empty-appends', bytes([0, 0, 1, 0, 1, 3]) + units('\0\0\0'))
