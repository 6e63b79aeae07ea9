# Reads a vCard file with the vobject library and prints every property of
# every card as "<card>\t<key>\t<UTF-8 bytes in hex>". The key is the
# property name with its TYPE and VALUE parameters; structured values give
# one key per component (N.family, ADR;TYPE=home.street, ...).
import sys

import vobject

N_PARTS = ("family", "given", "additional", "prefix", "suffix")
ADR_PARTS = ("box", "extended", "street", "city", "region", "code", "country")


def text(value):
    if isinstance(value, list):
        return ",".join(value)
    return value


def emit(card, key, value):
    print(f"{card}\t{key}\t{text(value).encode('utf-8').hex()}")


with open(sys.argv[1], encoding="utf-8", newline="") as f:
    data = f.read()

for index, card in enumerate(vobject.readComponents(data)):
    for prop in card.getChildren():
        key = prop.name
        for param in ("TYPE", "VALUE"):
            if param in prop.params:
                key += f";{param}=" + ",".join(prop.params[param])
        if prop.name == "N":
            for part in N_PARTS:
                emit(index, f"{key}.{part}", getattr(prop.value, part))
        elif prop.name == "ADR":
            for part in ADR_PARTS:
                emit(index, f"{key}.{part}", getattr(prop.value, part))
        elif prop.name == "ORG":
            emit(index, key, ";".join(prop.value))
        else:
            emit(index, key, prop.value)
