#!/usr/bin/python3
"""Renders the guides in docs/ (Markdown) to HTML pages for the program folder.

render_guide.py DOCS OUT: docs/guide/index.md -> OUT/index.html with its
images (docs/guide/img/*.png -> OUT/img/), docs/skins.ja.md and
docs/skins.en.md -> OUT/skins.ja.html and OUT/skins.en.html.
Needs python3-markdown (Debian), which scripts/setup installs.
"""
import html
import os
import re
import shutil
import sys

import markdown

STYLE = """
body { font-family: "Yu Gothic UI", "Meiryo", "IPAGothic", sans-serif; max-width: 52em;
       margin: 2em auto; padding: 0 1em; line-height: 1.7; color: #222; }
h1, h2, h3 { line-height: 1.3; } h2 { border-bottom: 1px solid #ccc; margin-top: 2em; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #bbb; padding: .25em .6em; vertical-align: top; }
th { background: #f0f0f0; } code { background: #f4f4f4; padding: 0 .2em; }
pre { background: #f4f4f4; padding: .6em; overflow-x: auto; }
img { max-width: 100%; border: 1px solid #ddd; }
"""


def render(source, target, lang):
    with open(source, encoding="utf-8") as f:
        text = f.read()
    title = re.search(r"^# (.+)$", text, re.M)
    body = markdown.markdown(text, extensions=["tables", "fenced_code", "toc"])
    # Links between the guides point at their rendered pages.
    body = re.sub(r'href="([^"]+)\.md(#[^"]*)?"', lambda m: 'href="%s.html%s"' % (
        os.path.basename(m.group(1)), m.group(2) or ""), body)
    page = ('<!DOCTYPE html>\n<html lang="%s">\n<head>\n<meta charset="utf-8">\n'
            '<title>%s</title>\n<style>%s</style>\n</head>\n<body>\n%s\n</body>\n</html>\n') % (
        lang, html.escape(title.group(1) if title else "トマリギ"), STYLE, body)
    with open(target, "w", encoding="utf-8", newline="\r\n") as f:
        f.write(page)


def main():
    docs, out = sys.argv[1], sys.argv[2]
    os.makedirs(os.path.join(out, "img"), exist_ok=True)
    render(os.path.join(docs, "guide", "index.md"), os.path.join(out, "index.html"), "ja")
    render(os.path.join(docs, "skins.ja.md"), os.path.join(out, "skins.ja.html"), "ja")
    render(os.path.join(docs, "skins.en.md"), os.path.join(out, "skins.en.html"), "en")
    images = os.path.join(docs, "guide", "img")
    for name in sorted(os.listdir(images)):
        if name.endswith(".png"):
            shutil.copy(os.path.join(images, name), os.path.join(out, "img", name))


if __name__ == "__main__":
    main()
