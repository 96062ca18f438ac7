#!/usr/bin/env python3
"""Writes README.md as a standalone HTML page for the Windows release, which
puts it in its doc folder beside the pictures that README.md finds in docs/.

usage: readme_html.py README.md OUTPUT.html
Needs Python-Markdown (Debian's python3-markdown)."""

import sys

import markdown


def main(source, target):
    with open(source, encoding="utf-8") as f:
        body = markdown.markdown(f.read(), output_format="html",
                                 extensions=["tables", "fenced_code", "toc"])
    body = body.replace(' src="docs/', ' src="')
    with open(target, "w", encoding="utf-8") as f:
        f.write('<!DOCTYPE html>\n<html>\n<head>\n<meta charset="utf-8">\n'
                "<title>korvane</title>\n</head>\n<body>\n" + body +
                "\n</body>\n</html>\n")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
