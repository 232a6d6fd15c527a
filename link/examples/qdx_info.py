#!/usr/bin/env python3
"""Opens the Quodrix controller through libqdxlink and prints its identity
text and its bridge's serial number. Exit status 0 when a controller was found.

Usage: qdx_info.py [path/to/libqdxlink.so]
"""
import ctypes
import sys


def load(path):
    lib = ctypes.CDLL(path)
    text_out = ctypes.POINTER(ctypes.c_char_p)
    for name in ("QDX_OpenDevice", "QDX_CloseDevice"):
        getattr(lib, name).argtypes = []
        getattr(lib, name).restype = ctypes.c_bool
    for name in ("QDX_GetInfo", "QDX_GetSN"):
        getattr(lib, name).argtypes = [text_out]
        getattr(lib, name).restype = ctypes.c_bool
    lib.QDX_GetLastError.argtypes = [text_out]
    lib.QDX_GetLastError.restype = None
    return lib


def main():
    lib = load(sys.argv[1] if len(sys.argv) > 1 else "libqdxlink.so.1")
    # The library owns the texts; c_char_p.value copies them into Python.
    text = ctypes.c_char_p()

    if not lib.QDX_OpenDevice():
        lib.QDX_GetLastError(ctypes.byref(text))
        reason = text.value.decode("latin-1")
        print("No controller found." + (" " + reason if reason else ""))
        return 1

    if not lib.QDX_GetInfo(ctypes.byref(text)):
        lib.QDX_GetLastError(ctypes.byref(text))
    print("Identity: " + text.value.decode("latin-1"))

    if lib.QDX_GetSN(ctypes.byref(text)):
        print("Serial number: " + text.value.decode("latin-1"))
    else:
        print("Serial number: not available")

    lib.QDX_CloseDevice()
    return 0


if __name__ == "__main__":
    sys.exit(main())
