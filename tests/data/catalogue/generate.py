#!/usr/bin/env python3
"""Writes the catalogue file fixtures of the tests. Run once; the files are committed."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
MARKERS = ["--《ジャンル１ここまで》--", "--《ジャンル２ここまで》--", "--《判型ここまで》--"]
CAPTIONS = ["書　名", "副　題", "よ　み", "著作者・編者", "翻訳者", "出版社", "叢書名", "定　価",
            "初版（第１刷）", "読んだ版", "感　想", "読了日", "読書開始日", "購入日", "備考１", "備考２"]
LISTS = [["ジャンル１", "小説", "随筆"], ["ジャンル２", "ＳＦ", "ミステリ"], ["判型", "文庫", "B5版"]]


def sj(text):
    return text.encode("cp932")


def lines(*items):
    return b"".join((sj(i) if isinstance(i, str) else i) + b"\r\n" for i in items)


def header(fonts=(10, "ＭＳ ゴシック", 0, 11, "ＭＳ Ｐゴシック", 255), flags=None, captions=CAPTIONS,
           lists=LISTS, spacing=12):
    flags = flags or ["TRUE"] * 19
    out = lines(*[str(v) if isinstance(v, int) else v for v in fonts])
    out += lines(*flags) + lines(*captions)
    for entries, marker in zip(lists, MARKERS):
        out += lines(*entries, marker)
    return out + lines(str(spacing))


def record(title="", kansou=b"", **fields):
    # Block order: 18 single-line fields (fN = block line N), then L, the bytes and a line end.
    single = [title] + [fields.get("f%d" % i, "") for i in range(2, 19)]
    body = sj(kansou) if isinstance(kansou, str) else kansou
    return lines(*single) + lines(str(len(body))) + body + b"\r\n"


def catalogue(records, **kw):
    return header(**kw) + lines(str(len(records))) + b"".join(records)


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


# Impressions with line breaks inside.
write("kansou_crlf.srb", catalogue([record("吾輩は猫である", "一行目\r\n二行目\r\n\r\n四行目")]))
# Impressions ending with a line break: one more empty line follows in the file.
write("kansou_trailing_break.srb", catalogue([record("坊っちゃん", "最後に改行\r\n"), record("次")]))
# Double-byte text with trailing half-width and full-width spaces.
write("kansou_trailing_spaces.srb",
      catalogue([record("草枕  ", "漢字とかな　　  ", f7="夏目漱石　", f11="４００円 ")]))
# An empty entry in the middle and one at the end of a list.
write("list_empty_entry.srb",
      catalogue([record("a")], lists=[["ジャンル１", "", "小説", ""], ["ジャンル２"], ["判型", "文庫"]]))
# Genre 1 holds its own end marker: the list ends there and the rest moves on.
write("list_entry_is_marker.srb",
      catalogue([record("a")], lists=[["ジャンル１", "小説", MARKERS[0], "随筆"], ["ジャンル２", "ＳＦ"],
                                     ["判型", "文庫"]]))
write("zero_records.srb", catalogue([]))
# System colours are 0x80000000 + index, written as negative numbers.
write("system_colour.srb",
      catalogue([record("a")], fonts=(9, "", -2147483640, -12, "IPAGothic", -2147483643)))
# The file stops in the middle of record 2: the missing lines read as empty / 0.
full = catalogue([record("一冊目", "感想"), record("二冊目", "消える感想", f2="副題")])
write("missing_tail.srb", full[: full.index(sj("副題")) + len(sj("副題")) + 2])
write("three_records.srb",
      catalogue([record("一", "感想一"), record("二", "感想二", f18="備考"), record("三")]))
# The worked example: all fields empty, impressions of 5 + CR LF + 6 bytes.
write("worked_example.srb", catalogue([record("", "abcde\r\nfghijk")]))
# Line ends as LF only, and a lone CR inside a text line.
lf_header = header().replace(b"\r\n", b"\n")
write("bare_line_feeds.srb", lf_header + b"1\n" + sj("改\r行") + b"\n" + b"\n" * 17 + b"5\n" +
      sj("中身") + b"\n\n")
# Damaged or malformed files.
write("not_a_number.srb", catalogue([record("a")], spacing=0).replace(b"\r\n0\r\n1\r\n", b"\r\n1O\r\n1\r\n", 1))
write("no_end_marker.srb", header()[: header().index(sj(MARKERS[1]))])
write("count_too_large.srb", header() + lines("2001") + record("a"))
write("count_negative.srb", header() + lines("-1"))
write("impressions_past_end.srb", catalogue([record("a", "12345")])[:-5])
# Everything at once, for the truncation test.
write("full.srb", catalogue([
    record("吾輩は猫である", "一行目\r\n二行目\r\n", f2="副題", f4="小説", f5="ＳＦ", f6="文庫",
           f7="夏目漱石", f11="500円", f12="1905年", f15="2020/01/02", f18="備考　"),
    record("", ""),
    record("three", "abc  "),
], fonts=(10, "ＭＳ ゴシック", -2147483640, 11, "", 255),
   flags=["TRUE"] * 5 + ["FALSE"] + ["TRUE"] * 12 + ["true"],
   lists=[["ジャンル１", "", "小説"], ["ジャンル２"], ["判型", "文庫"]], spacing=-3))
