"""Python values as the library holds them. Texts are bytes to the library: they travel as UTF-8,
and bytes that are no UTF-8 (a script may cut a character in two) come back as surrogates that
encode to the same bytes again."""
INT32_MIN, INT32_MAX = -(2**31), 2**31 - 1


def encoded(text):
    data = text.encode("utf-8", "surrogateescape")
    if b"\0" in data:
        raise ValueError(f"regscript texts and names end at a NUL character: {text!r}")
    return data


def decoded(data):
    return data.decode("utf-8", "surrogateescape")


def int32(value):
    if not INT32_MIN <= value <= INT32_MAX:
        raise OverflowError(f"{value} does not fit a regscript integer (32 bits)")
    return value
