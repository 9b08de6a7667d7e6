#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The reference for the acquisition benchmark: the plain pyserial loop a
user would write to collect COUNT results from the EVM on PORT.

    read_loop.py PORT COUNT

It sends the data command, then reads one 4-byte item per read() call, and
prints its own CPU and wall time for that, as the last line of its output:

    cpu_seconds=C wall_seconds=W

Exits 1 when an item does not arrive whole within the 1 s time-out, 2 on a
bad command line.
"""

import sys
import time

import serial

ITEM_SIZE = 4
EVM_TYPE = 1
READ_DATA = 0x0F


def data_command(count):
    """The data command for COUNT items. Its last byte makes bytes 1 to 5
    add up to 0 modulo 256, with byte 1 (the EVM type) counted as 1:
    55 01 0F 00 2D C3 for 45 items."""
    high, low = count >> 8, count & 0xFF
    check = (0x100 - ((1 + READ_DATA + high + low) & 0xFF)) & 0xFF
    return bytes([0x55, EVM_TYPE, READ_DATA, high, low, check])


def main(argv):
    if len(argv) != 3 or not argv[2].isdigit() or not 1 <= int(argv[2]) <= 65535:
        print("usage: read_loop.py PORT COUNT (COUNT 1 to 65535)", file=sys.stderr)
        return 2
    port_name, count = argv[1], int(argv[2])
    with serial.Serial(port_name, 115200, timeout=1) as port:
        # Opening does not discard what the driver already holds.
        port.reset_input_buffer()
        # The write is timed too, as in the tool, so that both wall times
        # compare with the wire's.
        cpu_start = time.process_time()
        wall_start = time.perf_counter()
        port.write(data_command(count))
        for index in range(count):
            item = port.read(ITEM_SIZE)
            if len(item) != ITEM_SIZE:
                print(f"item {index}: {len(item)} of {ITEM_SIZE} bytes", file=sys.stderr)
                return 1
        cpu = time.process_time() - cpu_start
        wall = time.perf_counter() - wall_start
    print(f"cpu_seconds={cpu:.6f} wall_seconds={wall:.6f}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
