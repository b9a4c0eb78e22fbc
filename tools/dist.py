"""Writes the release zip: Notchlog.exe and three text files with CR LF line
ends, README.txt and CHANGELOG.txt turned from Markdown into plain text.
Fixed order, times and permissions: the same inputs give the same bytes.

Usage: dist.py ROOT VERSION EXE ZIP
"""
import os
import re
import sys
import zipfile

# README.md is for users except between these lines (building, testing,
# releasing); everything else, sections added later included, is shipped.
DEVELOPERS_ONLY = "<!-- developers only -->"
END_OF_DEVELOPERS_ONLY = "<!-- end of developers only -->"

# Old Notepads read ANSI: keep the usual typography in plain ASCII.
TO_ASCII = str.maketrans({"\u2026": "...", "\u2013": "-", "\u2014": "--",
                          "\u2018": "'", "\u2019": "'", "\u201c": '"',
                          "\u201d": '"', "\u00a0": " "})


def fail(message):
    sys.exit("dist: " + message)


def users_part(lines):
    kept, inside = [], False
    for number, line in enumerate(lines, 1):
        mark = line.strip()
        if mark in (DEVELOPERS_ONLY, END_OF_DEVELOPERS_ONLY):
            if inside != (mark == END_OF_DEVELOPERS_ONLY):
                fail(f"README.md:{number}: {mark} out of turn")
            inside = not inside
        elif not inside:
            kept.append(line)
    if inside:
        fail(f"README.md: {DEVELOPERS_ONLY} without its end")
    return kept


def plain_inline(text):
    text = re.sub(r"!\[[^\]]*\]\([^)]*\)", "", text)
    text = re.sub(r"\[([^\]]+)\]\((https?://[^)\s]+)\)", r"\1 (\2)", text)
    text = re.sub(r"\[([^\]]+)\]\([^)]*\)", r"\1", text)
    text = text.replace("**", "").replace("`", "")
    return re.sub(r"(?<![\w*])\*(\S[^*]*?)\*(?![\w*])", r"\1", text)


def plain_text(lines):
    """Markdown as a plain text file reads: headings underlined, no markup,
    no pictures or comments, code indented."""
    out, prose, in_code = [], [], False

    def flush():  # a paragraph at a time, so markup may span its lines
        if prose:
            out.extend(plain_inline("\n".join(prose)).split("\n"))
            prose.clear()

    for line in lines:
        heading = re.match(r"(#{1,6})\s+(.*?)[\s#]*$", line)
        if line.lstrip().startswith("```"):
            flush()
            in_code = not in_code
        elif in_code:
            out.append("    " + line)
        elif heading:
            flush()
            title = plain_inline(heading.group(2))
            out.append(title)
            if len(heading.group(1)) <= 2:
                out.append(("=" if len(heading.group(1)) == 1 else "-") * len(title))
        elif not re.fullmatch(r"\s*(<!--.*-->|!\[.*\]\(.*\))\s*", line):
            prose.append(line)
    flush()
    text = "\n".join(line.rstrip() for line in out).strip("\n")
    return re.sub(r"\n{3,}", "\n\n", text) + "\n"


def windows_text(text):
    text = text.translate(TO_ASCII).replace("\r\n", "\n").replace("\n", "\r\n")
    # A BOM tells Notepad the encoding when something beyond ASCII is left.
    return text.encode("ascii") if text.isascii() else text.encode("utf-8-sig")


def read_lines(path):
    with open(path, encoding="utf-8") as f:
        return f.read().splitlines()


def main(root, version, exe, zip_path):
    changelog = read_lines(os.path.join(root, "CHANGELOG.md"))
    # Every member is dated the day this version's changelog entry names.
    entry = f"## [{version}] - "
    dates = [line[len(entry):].strip() for line in changelog if line.startswith(entry)]
    if not dates or not re.fullmatch(r"\d{4}-\d\d-\d\d", dates[0]):
        fail(f"CHANGELOG.md has no '{entry}YYYY-MM-DD' heading")
    date = tuple(int(part) for part in dates[0].split("-")) + (0, 0, 0)

    readme = users_part(read_lines(os.path.join(root, "README.md")))
    readme = [re.sub(r"^# (.*)", rf"# \1 {version}", readme[0])] + readme[1:]
    with open(exe, "rb") as f:
        program = f.read()
    with open(os.path.join(root, "LICENSE"), encoding="utf-8") as f:
        licence = f.read()
    # The exe carries the compiler's runtime: its notices travel with it.
    with open(os.path.join(root, "docs", "third-party-notices.txt"), encoding="utf-8") as f:
        licence += "\n\n" + f.read()
    members = [("Notchlog.exe", program),
               ("README.txt", windows_text(plain_text(readme))),
               ("LICENSE.txt", windows_text(licence)),
               ("CHANGELOG.txt", windows_text(plain_text(changelog)))]

    partial = zip_path + ".part"
    with zipfile.ZipFile(partial, "w") as archive:
        for name, data in members:
            info = zipfile.ZipInfo(name, date_time=date)
            info.create_system = 3  # Unix, so that the permissions below count
            info.external_attr = 0o100644 << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)
    os.replace(partial, zip_path)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        fail("usage: dist.py ROOT VERSION EXE ZIP")
    main(*sys.argv[1:])
