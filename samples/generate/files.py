#!/usr/bin/python3
"""Makes the game data files of 星霜のアルカディア for the two discs.

Usage: files.py PRODUCT

Writes PRODUCT/disc1/... and PRODUCT/disc2/... of a product folder with
the paths the setup script lists (relative to the disc root, which is also
the path inside the install folder). The contents are stand-ins: a short
format header and seeded pseudo-random bytes, so that every run gives the
same files. The programs (the game and the DirectX setup) are not made
here; scripts/make-samples adds them, and 'drubelkit build' the launcher.
"""

import os
import random
import struct
import sys

# (disc, path, size, seed, kind). Sizes are odd on purpose: the copy loop
# has to deal with tails shorter than a block; data\se.dat is an exact
# number of 4096-byte blocks.
FILES = [
    (1, "data/system.arc", 1258291, 11, "arc"),
    (1, "data/script.arc", 823553, 12, "arc"),
    (1, "data/bgm.dat", 2621440 + 77, 13, "bgm"),
    (1, "data/se.dat", 150 * 4096, 14, "se"),
    (1, "data/graphic/chara.arc", 1572871, 15, "arc"),
    (1, "data/graphic/bg.arc", 2097169, 16, "arc"),
    (1, "data/graphic/event.arc", 1887437, 17, "arc"),
    (2, "movie/op.mpg", 3145741, 21, "mpg"),
    (2, "movie/ed.mpg", 2097163, 22, "mpg"),
]

# Voice clips of the full install, picked up by one wildcard entry.
VOICES = [("ch01", 7), ("ch02", 6), ("ch03", 5)]

DEFAULT_CFG = """\
; 星霜のアルカディア default settings
[screen]
mode=fullscreen
width=800
height=600
[sound]
bgm=80
se=80
voice=100
[text]
speed=3
auto_wait=1500
"""

README = """\
━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━
　星霜のアルカディア　―Arcadia of Starfrost―
　お読みください
━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━

このたびは「星霜のアルカディア」をお買い上げいただき、
まことにありがとうございます。

■動作環境
　OS　　：Windows 98/Me/2000/XP/Vista/7
　CPU 　：Pentium III 800MHz 以上
　メモリ：256MB 以上
　HDD 　：フルインストール 約25MB／最小インストール 約12MB
　その他：DVD-ROMドライブ、DirectX 8.1 以上

■インストール
　DISC1 をドライブに入れると、ランチャーが起動します。
　起動しない場合は DISC1 の Drubel.exe を実行してください。
　「インストール」を押し、インストール先とインストール方法を
　選んでください。
　　フルインストール　：音声とムービーも HDD にコピーします。
　　　　　　　　　　　　途中で DISC2 への入れ替えをお願いします。
　　最小インストール　：DISC1 のみでインストールできます。

■起動
　スタートメニューの「Lumenfield」→「星霜のアルカディア」から
　起動してください。ウィンドウ表示で遊ぶ場合は
　「ウィンドウモードで起動」をお使いください。

■アンインストール
　スタートメニューの「アンインストール」、または DISC1 の
　ランチャーの「アンインストール」から行えます。
　セーブデータは、確認画面でチェックを入れた場合のみ削除されます。

■DirectX
　ランチャーの「DirectX のインストール」で DISC2 の
　DirectX セットアップを起動できます。

■お問い合わせ
　Lumenfield ユーザーサポート
　support@lumenfield.example
　（平日 10:00～17:00）

(C) Lumenfield
"""

HISTORY = """\
星霜のアルカディア　更新履歴

Ver 1.00
　・初版

Ver 1.01
　・ウィンドウモードでの起動に対応しました。
　・一部の環境で BGM が途切れる問題を修正しました。
"""

# A Japanese folder and file name, both of whose kanji end in 0x5C in
# Shift-JIS (能 94 5C, 表 95 5C).
ABILITIES = """\
星霜のアルカディア　能力表

名前　　　　　力　　魔力　素早さ
リュシア　　　１２　　３４　　２０
ガルド　　　　３８　　　６　　１４
ミナト　　　　１６　　２２　　３１
"""


def header(kind, path, size, rng):
    name = os.path.basename(path).encode("ascii")
    if kind == "arc":
        count = 16 + size // 65536
        h = b"LFARC\x1a\x01\x00" + struct.pack("<II", count, size)
        for i in range(count):
            h += struct.pack("<16sII", b"%s_%04d" % (name.split(b".")[0][:10], i),
                             rng.randrange(size), rng.randrange(65536))
        return h
    if kind == "bgm":
        return b"LFBGM\x00\x02\x00" + struct.pack("<III", 44100, 2, 24)
    if kind == "se":
        return b"LFSE\x00\x01\x00\x00" + struct.pack("<I", 128)
    if kind == "mpg":
        # An MPEG-1 pack header, then a system header start code.
        return bytes.fromhex("000001ba2100010001800f0b000001bb000c800f0b04e1ff")
    if kind == "vce":
        return b"OggS\x00\x02" + b"\x00" * 8 + struct.pack("<II", rng.getrandbits(32), 0)
    return b""


def write_blob(path, size, seed, kind):
    rng = random.Random(seed)
    head = header(kind, path, size, rng)[:size]
    body = rng.randbytes(size - len(head))
    with open(path, "wb") as f:
        f.write(head)
        f.write(body)


def write_text(path, text):
    data = text.replace("\n", "\r\n").encode("cp932")
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: files.py PRODUCT\n")
        return 2
    out = argv[1]

    def place(disc, rel):
        p = os.path.join(out, "disc%d" % disc, *rel.split("/"))
        os.makedirs(os.path.dirname(p), exist_ok=True)
        return p

    for disc, rel, size, seed, kind in FILES:
        write_blob(place(disc, rel), size, seed, kind)
    seed = 100
    for chapter, count in VOICES:
        for i in range(1, count + 1):
            seed += 1
            size = random.Random(seed).randrange(60000, 220000)
            write_blob(place(2, "data/voice/%s_%03d.vce" % (chapter, i)), size, seed, "vce")
    with open(place(1, "data/default.cfg"), "wb") as f:
        f.write(DEFAULT_CFG.replace("\n", "\r\n").encode("cp932"))
    write_text(place(1, "manual/readme.txt"), README)
    write_text(place(1, "manual/history.txt"), HISTORY)
    write_text(place(1, "おまけ/能力表.txt"), ABILITIES)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
