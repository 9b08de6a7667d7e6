// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/usage.h"

#ifndef ORVELLIN_VERSION
#error "ORVELLIN_VERSION must name the project's version"
#endif

namespace orv::cli {

std::string usageText() {
    return R"(Usage: orvellin-cli [--port NAME]... [--simulate] [--json] COMMAND [ARGUMENTS]

Sets up, reads and records the converter on the evaluation module (EVM)
without a window, with the frames and messages of the window's own commands.

Commands:
  scan                        every candidate port, and whether the EVM answers
                              there (each EVM found is reset)
  regs                        read the eleven registers and show their fields
  write NAME=HEX...           write registers by name (STATUS, MUX, ADCON, DRATE,
                              IO, OFC0..OFC2, FSC0..FSC2), then read all back
  set FIELD=VALUE...          mux=AIN0,AIN1 (AIN0..AIN7, AINCOM)
                              gain=1|2|4|8|16|32|64
                              rate=2.5|5|10|15|25|30|50|60|100|500|1000|2000|
                                   3750|7500|15000|30000 (SPS)
                              buffer=on|off  clock-out=off|clkin|clkin/2|clkin/4
                              sensor=off|0.5|2|10 (uA)
                              writes only the registers the fields lie in, their
                              other bits as read, then reads all back
  calibrate self|self-offset|self-gain|system-offset|system-gain
  standby | wakeup | power-down
  reset                       find the EVM and reset the converter
  collect [-n COUNT] [-o FILE]
                              COUNT results (1 to 65535, default 45): to FILE.csv
                              as a capture, to FILE.txt as the text file with the
                              raw file FILE.bin beside it, else as a capture on
                              standard output
  analyze [FILE] [--gain N] [--vref V] [--rate SPS] [-n COUNT]
                              the figures of a capture or a text file; without
                              FILE, of a fresh collection of COUNT results. A
                              capture's or a collection's own gain, Vref and
                              rate win, then the flags, then gain 1, 2.5 V and
                              30000 SPS (a collection's Vref: --vref or 2.5 V)
  profile save FILE           read the registers and save them as a profile
  profile load FILE           write the profile's eleven registers in address
                              order, then read all back
  sweep [--gain LIST] [--rate LIST] [-n COUNT] [--no-calibrate] [-o FILE]
                              the noise table: for each gain and data rate
                              (LIST comma-separated: --gain 1,8,64 --rate
                              10,100,1000; default all gains at 10, 100, 1000
                              and 30000 SPS) set ADCON's gain and DRATE, self
                              calibrate (unless --no-calibrate), drop the
                              filter's settling, measure COUNT results (2 to
                              65531, default 256); at the end, on Ctrl-C and
                              on a failure write back the registers found.
                              The least time it takes is told first. Prints
                              the tables of RMS noise, effective and noise-free
                              resolution as Markdown; FILE gets one CSV row
                              per cell
  log -o FILE [-n COUNT] [--blocks K | --for TIME] [--keep-blocks DIR]
                              blocks of COUNT results (1 to 65535, default
                              256), one row each appended to the trend FILE
                              (CSV: start_utc, mean_v, rms_noise_uv, min_v,
                              max_v under a capture's "#" header), until K
                              blocks, TIME (90s, 30m, 1.5h, 2d; a number alone
                              is seconds) or Ctrl-C; DIR (made if missing)
                              gets each block as a capture, block-000001.csv
                              on

Options:
  --port NAME     a port to try first (ttyUSB0, /dev/pts/3, COM3); may repeat.
                  Then --simulate's port, then the system's ports: the first
                  that answers the handshake is used
  --simulate      add an in-memory simulated EVM (port SIM), fresh each run
  --json          print one JSON document on standard output
  --count COUNT, --output FILE
                  -n and -o spelt out
  --gain, --rate  one value for analyze, a list for sweep
  --help, -h      this text
  --version       the version

Only scan and reset send the reset command: settings made by one run stay
for the next. Messages go to standard error; a progress bar too, when it is a
terminal. Ctrl-C during a collection stops it after the current result.
sweep and log keep what they measured when they stop early: the cells so
far are printed and written, the trend keeps every row written.

JSON documents (--json):
  regs            {"registers": {"STATUS": "30", ... "FSC2": "45"},
                   "fields": {"mux": "AIN0,AIN1", "gain": 1, "rate_sps": 30000,
                     "buffer": "off", "clock-out": "clkin", "sensor": "off",
                     "id": 3, "order": "msb-first", "auto-calibration": "off",
                     "drdy": "low", "io": {"D3": {"direction": "input",
                     "level": "low"}, ... "D0": {...}}, "offset": "000000",
                     "full-scale": "455A3E"}}
                  (rate_sps is null for a DRATE code outside the list)
  write, set, profile load
                  {"written": {"MUX": "23", ...}, "registers": {...},
                   "fields": {...}}
  profile save    {"file": "...", "registers": {...}, "fields": {...}}
  scan            {"ports": [{"port": "/dev/pts/3", "opened": true,
                   "answered": true, "reset": true}, ...],
                   "evm_port": "/dev/pts/3" or null}
  reset           {"port": "/dev/pts/3", "reset": true}
  calibrate       {"port": "...", "calibration": "self"}
  standby, wakeup, power-down
                  {"port": "...", "command": "standby"}
  collect         {"port": "...", "created": "2026-12-11T12:00:00Z",
                   "tool": "orvellin )" ORVELLIN_VERSION R"(", "registers": {...},
                   "gain": 1, "vref_v": 2.5, "rate_sps": 30000, "count": 45,
                   "file": "run.txt" or null, "raw_file": "run.bin" or null,
                   "codes": [...]}
  analyze         {"count", "gain", "vref_v", "rate_sps", "mean_code", "mean_v",
                   "min_code", "max_code", "rms_noise_codes", "rms_noise_uv",
                   "pp_noise_codes", "pp_noise_uv", "effective_resolution_bits",
                   "noise_free_resolution_bits", "fundamental_hz",
                   "fundamental_dbfs", "snr_db", "thd_db", "sinad_db", "sfdr_db",
                   "enob_bits"}: numbers, null where a figure does not apply
                   (the tone figures of a block without a tone)
  sweep           {"cells": [{"gain", "rate_sps", "rms_noise_uv", "pp_noise_uv",
                   "effective_resolution_bits", "noise_free_resolution_bits",
                   "mean_v"}, ...]}: numbers, one object for each cell
                   measured, rate by rate and gain by gain; noise and mean
                   input-referred (the CSV of -o has the same columns)
  log             {"file": "trend.csv", "port": "...", "blocks": 100,
                   "keep_folder": "blocks" or null}: the rows written
  A run that fails prints {"error": {"exit_code": N, "messages": [...]}}, or
  adds that "error" member to the command's document (scan, and sweep and
  log once they started).

Exit codes:
  0    done
  1    the EVM failed: a time-out, a wrong reply, a bad item check byte
  2    bad command line or value; nothing was sent
  3    no EVM found
  4    a file could not be read or written
  130  stopped by Ctrl-C during a collection: collect and analyze write
       nothing, sweep and log keep what they measured
)";
}

std::string versionText() {
    return std::string("orvellin-cli ") + ORVELLIN_VERSION + "\n";
}

}  // namespace orv::cli
