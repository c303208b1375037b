#!/usr/bin/env python3
"""Writes a fuzzer input as the sparse hex dump that the replay test reads.

usage: sparse_hex.py INPUT OUTPUT.hex "where it came from and what it broke"
Runs of zero bytes are left out; the replay test fills them in from the size line.
"""
import sys


def main():
    data = open(sys.argv[1], 'rb').read()
    with open(sys.argv[2], 'w') as out:
        out.write('# ' + sys.argv[3] + '\n')
        out.write('size %d\n' % len(data))
        for start in range(0, len(data), 16):
            chunk = data[start:start + 16]
            if any(chunk):
                out.write('%06X: %s\n' % (start, ' '.join('%02X' % b for b in chunk)))


if __name__ == '__main__':
    main()
