#!/usr/bin/env python3
"""Writes the CSV fixtures of the tests, one quirk a file. Run once; the files are committed."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


# A spreadsheet's "CSV UTF-8": BOM, CR LF between rows, LF inside a cell.
write("spreadsheet_bom_crlf.csv", "\ufeff".encode() + (
    "タイトル,著者,出版社,読了日,感想\r\n"
    "吾輩は猫である,夏目漱石,岩波書店,2020/01/02,\"一行目\n二行目\"\r\n"
    "\"カンマ, と \"\"引用符\"\"\",森鴎外,新潮社,,\r\n").encode())
# Shift-JIS with half-width katakana, a wave dash and names of another tool.
write("shift_jis.csv", (
    "書名,著者名,出版社名,レビュー\r\n"
    "ｶﾀｶﾅの本,作者～一,出版社,よかった\r\n").encode("cp932"))
# LF only, English column names.
write("lf_only.csv", (
    "Title,Author,Publisher,Read Date,Comments\n"
    "Kokoro,Natsume Soseki,Iwanami,2021-05-06,\"line one\nline two\"\n").encode())
# Another column order and columns the catalogue has no field for.
write("reordered_extra.csv", (
    "評価,ISBN,作者名,ページ数,Title,読み\r\n"
    "5,978-4-00-310101-8,夏目漱石,300,こころ,こころ\r\n").encode())
# Look-alikes that map to code page 932 and characters that do not exist there.
write("unencodable.csv", (
    "書名,著者,感想\r\n"
    "波〜ダッシュ−マイナス,普通の著者,よい\r\n"
    "絵文字😀の本,김철수,한글\r\n"
    "最後の本,著者,感想\r\n").encode())
# Bad input.
write("empty.csv", b"")
write("header_only.csv", "書名,著者\r\n".encode())
write("ragged.csv", (
    "書名,著者,出版社\r\n"
    "一,二\r\n"
    "三,四,五,六\r\n"
    "七,八,九,\r\n"
    "十,十一,十二\r\n").encode())
write("unclosed_quote.csv", "書名,感想\r\n本,\"閉じない\r\n感想\r\n".encode())
write("nul_byte.csv", "書名\r\n本\r\n".encode() + b"a\x00b\r\n")
write("binary.bin", bytes([0xFF, 0xFE, 0xFD, 0x80, 0xA0, 0x90, 0x0D, 0x0A, 0xFF] * 8))
