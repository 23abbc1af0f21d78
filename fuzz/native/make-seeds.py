#!/usr/bin/env python3
"""Writes the seeds beside each native target (needs python3-cryptography).

FuzzedDataProvider takes bytes from the front and numbers from the back, the
first number from the last byte, a wider one high byte first; each number
here is its offset from the low end of the target's range.
"""
import os

from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes

HERE = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(HERE, '../../cmake/development-string-key.bin'), 'rb') as f:
    KEY = f.read()


def tail(*numbers):
    return b''.join(n if isinstance(n, bytes) else bytes([n]) for n in numbers)[::-1]


def rijndael(front, mode, key, in_place, pad_like, space):
    """mode 0 ECB, 1 CBC, 2 CFB1; key 0, 1, 2 for 16, 24, 32 bytes; a
    padding-like ending of 0 to 16 bytes; any space 0 to 340; a 16-byte IV.
    In front: the key, the IV and the plaintext."""
    return front + tail(mode, key, in_place, pad_like, space.to_bytes(2, 'big'), 16)


def write(target, name, data):
    os.makedirs(os.path.join(HERE, target, 'seeds'), exist_ok=True)
    with open(os.path.join(HERE, target, 'seeds', name), 'wb') as f:
        f.write(data)


def stored(text):
    data = text.encode()
    data += bytes([(16 - len(data) % 16) % 16]) * ((16 - len(data) % 16) % 16)
    encryptor = Cipher(algorithms.AES(KEY), modes.CBC(bytes(16))).encryptor()
    return (encryptor.update(data) + encryptor.finalize()).hex().upper().encode()


write('rijndael', 'cbc128-partial-block', rijndael(bytes(range(16)) * 2 + b'twenty bytes of text', 1, 0, 0, 0, 40))
write('rijndael', 'ecb256-in-place-padding-block', rijndael(bytes(range(48)) + bytes(16), 0, 2, 1, 16, 7))
write('rijndael', 'cfb1-192', rijndael(bytes(range(40)) + b'seventeen bytes!!', 2, 1, 0, 0, 300))
write('rijndael', 'cbc192-in-place-short-ending', rijndael(bytes(range(40)) + bytes(range(45)), 1, 1, 1, 3, 340))
# stringcrypt, numbers: the length's shift from half the text + 40; then the text.
write('stringcrypt', 'games-folder', stored('C:\\Games') + tail(40))
write('stringcrypt', 'length-short', stored('D:\\Spiele\\Übersicht') + tail(10))
write('stringcrypt', 'length-long', stored('D:\\Spiele\\Übersicht') + tail(80))
write('stringcrypt', 'non-hex-and-odd-digits', b'zz0G1' + stored('x')[5:] + b'7' + tail(40))
