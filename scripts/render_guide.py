#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""render_guide.py GUIDE.md GUIDE.html: the user's guide as a standalone HTML page."""
import pathlib
import shutil
import sys

import markdown

source, target = map(pathlib.Path, sys.argv[1:3])
body = markdown.markdown(source.read_text(encoding="utf-8"), extensions=["extra", "toc"])
title = "Corvadex guide"
page = f"""<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>{title}</title>
<style>
body {{ font-family: sans-serif; max-width: 50em; margin: 2em auto; padding: 0 1em; line-height: 1.45; }}
img {{ max-width: 100%; border: 1px solid #ccc; }}
code, kbd {{ background: #f3f3f3; padding: 0 .2em; }}
</style>
</head>
<body>
{body}
</body>
</html>
"""
target.parent.mkdir(parents=True, exist_ok=True)
target.write_text(page, encoding="utf-8")
# The pictures the guide shows go beside it.
for picture in source.parent.glob("*.png"):
    if picture.name in body:
        shutil.copyfile(picture, target.parent / picture.name)
