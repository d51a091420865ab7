#!/usr/bin/env python3
"""Writes a benchmark machine scenario: an NT-family machine with N Quorin USB scanners and 300
OEM INF files of a few KB each, every one with several models sections.

    make_bench_machine.py <scenario folder> <scanners>

The scanners' own INF files lie spread evenly through the folder listing, the last of them the
last file listed, so that a search per device reads many files before its own. With 0 scanners
the machine has no INF files either: the program then shows an empty list."""
import os
import sys

INF_COUNT = 300


def inf_text(index, maker, pids, twain):
    lines = ["; Driver package %d of %s" % (index, maker), "[Version]",
             'Signature="$Windows NT$"', "Class=Image",
             "ClassGUID={6bdd1fc6-810f-11d0-bec7-08002be2092f}", "Provider=%Mfg%",
             "DriverVer=01/%02d/2006,3.%d.0.0" % (index % 28 + 1, index), "",
             "[Manufacturer]", "%Mfg%=Models,NTx86,NTamd64", "%Mfg%=Models", "%Mfg%=Legacy", ""]
    for section in ("Models.NTx86", "Models.NTamd64", "Models", "Legacy"):
        lines.append("[%s]" % section)
        for pid in pids:
            lines.append("%%Dev%s.Desc%%=Dev%s.Install,USB\\VID_%s&PID_%s&REV_0100,USB\\VID_%s&PID_%s"
                         % (pid, pid, maker, pid, maker, pid))
        lines.append("")
    lines += ["[DestinationDirs]", "DefaultDestDir=11", "Dev.Sys=10,system32",
              "Dev.Twain=10,twain_32\\%s" % twain, ""]
    for pid in pids:
        lines += ["[Dev%s.Install]" % pid, "CopyFiles=Dev.Sys,Dev.Twain", "SubClass=StillImage",
                  "DeviceType=1", "DeviceSubType=0x1", "Capabilities=0x31",
                  "DeviceData=Dev%s.Data" % pid, "", "[Dev%s.Data]" % pid,
                  "Server=local", "UI DLL=sti.dll", "UI Class ID={4DB1AD10-3391-11D2-9A33-00C04FA36145}", ""]
    lines += ["[Dev.Sys]", "%s.dll" % twain, "", "[Dev.Twain]", "%s.ds" % twain, "",
              "[SourceDisksNames]", "1=%Disk%,,,", "", "[SourceDisksFiles]",
              "%s.dll=1" % twain, "%s.ds=1" % twain, "", "[Strings]", 'Mfg="%s"' % maker,
              'Disk="Driver disk %d"' % index]
    for pid in pids:
        lines.append('Dev%s.Desc="Scanner %s of maker %s"' % (pid, pid, maker))
    return "\r\n".join(lines) + "\r\n"


def main(target, scanners):
    os.makedirs(os.path.join(target, "windir", "inf"), exist_ok=True)
    with open(os.path.join(target, "family"), "w") as out:
        out.write("nt\n")
    names = ["oem%d.inf" % index for index in range(INF_COUNT if scanners else 0)]
    # FindFirstFileA lists names in upper-cased order: oem0, oem1, oem10, oem100, ...
    listing = sorted(names, key=str.upper)
    pids = ["%04X" % (0x5200 + k) for k in range(scanners)]
    own_inf = {listing[(k + 1) * INF_COUNT // scanners - 1]: pid for k, pid in enumerate(pids)}
    for index, name in enumerate(names):
        if name in own_inf:
            pid = own_inf[name]
            text = inf_text(index, "0C6E", ["F%03d" % (index % 1000 + k) for k in range(5)] + [pid],
                            "Quorin%s" % pid)
        else:
            others = ["%04X" % (0x1000 + index * 8 + k) for k in range(8)]
            text = inf_text(index, "%04X" % (0x2000 + index), others, "Maker%d" % index)
        with open(os.path.join(target, "windir", "inf", name), "w", newline="") as out:
            out.write(text)
    reg = ["REGEDIT4", ""]
    for pid in pids:
        key = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_%s" % pid
        reg += ["[%s]" % key, "", "[%s\\5&1&0&%s]" % (key, pid),
                '"ClassGUID"="{6bdd1fc6-810f-11d0-bec7-08002be2092f}"',
                '"DeviceDesc"="Quorin %s USB Scanner"' % pid, ""]
    with open(os.path.join(target, "machine.reg"), "w", newline="\r\n") as out:
        out.write("\n".join(reg) + "\n")


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]))
