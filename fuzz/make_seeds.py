#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into corpus/<target>/.

The seeds are small valid inputs: frames and replies as the loggers send
them, configuration images, history pages, CSV lines and profiles. Run it
from this folder after changing a format; the files are kept in the
repository.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def frame(command, data=b"", address=0):
    body = bytes([command]) + address.to_bytes(4, "big") + len(data).to_bytes(2, "big") + data
    check = 0
    for byte in body:
        check ^= byte
    return b"#" + body + bytes([check])


def record(year=17, month=6, day=5, hour=9, minute=5, second=0, signal=20, flags=0x81,
           values=(253, 601, -45, 480), rtype=1):
    data = bytearray(b"\xff" * 64)
    data[0:4] = b"\x00\x00\x00\x00"
    data[4:10] = bytes([year, month, day, hour, minute, second])
    data[10] = signal
    data[11] = flags
    for slot in range(16):
        value = values[slot % len(values)]
        data[12 + 2 * slot:14 + 2 * slot] = (value & 0xFFFF).to_bytes(2, "little")
    data[44] = rtype
    return bytes(data)


def archive(short=False):
    """A history archive as the program makes it, with a few records."""
    import sqlite3
    import tempfile
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "archive.sqlite")
        db = sqlite3.connect(path)
        db.executescript(
            "CREATE TABLE devices (imei TEXT PRIMARY KEY, model TEXT NOT NULL, last_read TEXT NOT NULL);"
            "CREATE TABLE records (imei TEXT NOT NULL, number INTEGER NOT NULL, stamp INTEGER NOT NULL,"
            " raw BLOB NOT NULL, year INTEGER, month INTEGER, day INTEGER, hour INTEGER, minute INTEGER,"
            " second INTEGER, signal INTEGER, flags INTEGER, type INTEGER,"
            + "".join(" v%d INTEGER," % value for value in range(1, 17))
            + " PRIMARY KEY (imei, number, stamp));"
            "CREATE INDEX records_by_time ON records (imei, stamp, number);"
            "PRAGMA user_version = 1;")
        db.execute("INSERT INTO devices VALUES ('863712030448024', 'K802', '2026-03-01 08:00:00')")
        for number in range(1, 9):
            raw = record(minute=number)
            if short and number == 3:
                raw = raw[:10]
            stamp = int.from_bytes(raw[4:10].ljust(6, b"\0"), "big")
            db.execute("INSERT INTO records (imei, number, stamp, raw) VALUES (?, ?, ?, ?)",
                       ("863712030448024", number, stamp, raw))
        db.commit()
        db.close()
        with open(path, "rb") as source:
            return source.read()


def write(target, name, content):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(content)


def main():
    version = b"K802\x00\x00\x00\x00" + b"V2.39\x00\x00\x00" + b"866123456789012\x00" + bytes([23])
    values = b"".join((v & 0xFFFF).to_bytes(2, "little") for v in (253, 601, -45, 480) * 4) + b"\x01"

    write("frame", "version_request", frame(5, b"\x00"))
    write("frame", "version_reply", frame(5, version))
    write("frame", "history_page", frame(0x83, record() * 4, 0x4000))
    write("frame", "short", b"#\x01")

    for odd in (b"\x01", b"\x00"):
        tag = "frame" if odd == b"\x01" else "raw"
        write("reply_version", tag, odd + (version if odd == b"\x01" else frame(5, version)))
        write("reply_clock", tag, odd + (b"\x11\x06\x05\x09\x05\x00" if odd == b"\x01"
                                         else frame(8, b"\x11\x06\x05\x09\x05\x00")))
        write("reply_values", tag, odd + (values if odd == b"\x01" else frame(6, values)))
        write("reply_password", tag, odd + (b"\x01" if odd == b"\x01" else frame(1, b"\x01")))
    write("reply_password", "refused", b"\x01\x00")

    erased = b"\xff" * 3646
    zeros = bytearray(b"\x00" * 3646)
    zeros[0:4] = b"5937"
    for model in range(3):
        write("config_image", "erased_%d" % model, bytes([model]) + erased)
    write("config_image", "password_k801", b"\x00" + bytes(zeros))

    page = record() * 2 + record(day=6, flags=0, rtype=3, values=(-400, 999)) + b"\xff" * 64
    write("history_page", "page_k801", b"\x05\x00\x01" + page)
    write("history_page", "page_k802", b"\x0d\x01\x01" + page)
    write("history_page", "page_k803", b"\x12\x00\x01" + page)
    write("history_page", "record", b"\x04\x00\x01" + record())

    csv = "17/6/5,9:5:0,20,布防,闭合,断开,定时,25.3,60.1,-4.5,48.0\r\n" * 3
    write("csv_import", "k801_gbk", csv.encode("gbk"))
    write("csv_import", "quoted_lf", b'17/6/5,9:5:0,"a,b",x\n"17/6/6",10:0:0,"say ""hi"""\n')

    write("date_filter", "rows", b"17/6/5,9:5:0\n99/12/31,23:59:59\n\n1/1/1,0:0:0\n")
    write("date_filter", "bad", b"17/2/30,9:5:0\n-1999/1/1,1:1:1\n")

    profile = ("[Value]\r\nlbledt_Main_Password=5937\r\nlbledt_GprsRegDat=注册\r\nCheckBox1=1\r\n"
               "cbb_GprsProtocol=2\r\ndtp_DailyReport=9:05:00\r\n; comment\r\n"
               "[lvTh]\r\nTemperature1=温度1^~^1^30^50^-10^高^低^恢复^1^0^0^\r\n"
               "[lvDo]\r\nDOUT1=Relay^5^~^open^close^1^\r\n")
    write("ini_profile", "profile_gbk", profile.encode("gbk"))
    write("ini_profile", "profile_utf8_bom", b"\xef\xbb\xbf" + profile.encode("utf-8"))
    write("ini_profile", "lf_only", b"[value]\nEdit1 = x \n[lvTimer]\n 10 =1^2^3\n")

    write("debug_notation", "frames", frame(5, version) + b"\r\n" + frame(6, values))
    write("debug_notation", "text", "温度 25.3\r\n#".encode("gbk"))

    write("conversions", "gbk_field", b"\x28" + "描述ABC".encode("gbk") + b"\xff\x00")
    write("conversions", "hex", b"\x04" + b"1A 2B 3C 4d")
    write("conversions", "bits", b"\x20" + b"0000000100000101")

    # Backup folder: model byte, then per file kind, counter, 16-bit length
    # (0xFFFF: the model's factory image or its profile), content.
    def backup_file(kind, counter, content=None):
        if content is None:
            return bytes([kind, counter, 0xFF, 0xFF])
        return bytes([kind, counter]) + len(content).to_bytes(2, "little") + content
    write("backup_folder", "sound_backups", b"\x01" + backup_file(1, 1) + backup_file(3, 1)
          + backup_file(1, 2) + backup_file(3, 2))
    write("backup_folder", "hostile", b"\x00" + backup_file(1, 3, bytes(range(256)) * 4)
          + backup_file(3, 3, profile.encode("gbk")) + backup_file(6, 9) + backup_file(7, 10)
          + backup_file(2, 1, b"x") + backup_file(0, 0) + backup_file(4, 0, b"[Value]\r\n"))

    write("archive_file", "archive", archive())
    write("archive_file", "short_record", archive(short=True))


if __name__ == "__main__":
    main()
