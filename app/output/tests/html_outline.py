# Prints the structure a real HTML parser finds in a site-map page: lists as [ ], links as (href|text),
# bold folder labels as {..}, every other element of the body as !name!.
import sys
from html.parser import HTMLParser


class Outline(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.out = []
        self.href = None
        self.text = ""
        self.in_body = False

    def handle_starttag(self, tag, attrs):
        if tag == "body":
            self.in_body = True
        elif not self.in_body or tag == "dt" or tag == "img" or tag == "div":
            return
        elif tag == "ul":
            self.out.append("[")
        elif tag == "b":
            self.out.append("{")
        elif tag == "a":
            self.href = dict(attrs).get("href", "")
            self.text = ""
        else:
            self.out.append("!%s!" % tag)

    def handle_endtag(self, tag):
        if not self.in_body:
            return
        if tag == "ul":
            self.out.append("]")
        elif tag == "b":
            self.out.append("}")
        elif tag == "a" and self.href is not None:
            self.out.append("(%s|%s)" % (self.href, self.text))
            self.href = None

    def handle_data(self, data):
        if self.href is not None:
            self.text += data
        elif self.in_body and data.strip() and data.strip() not in (":::", "::: Made with Quillmark :"):
            self.out.append(repr(data.strip()))


parser = Outline()
with open(sys.argv[1], encoding="utf-8") as f:
    parser.feed(f.read())
parser.close()
sys.stdout.write("".join(parser.out))
