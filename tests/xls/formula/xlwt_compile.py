# Compiles each formula text read from standard input (one a line, without
# "=") with python3-xlwt and prints its token bytes in hex, or ERROR.
import sys
import xlwt

for line in sys.stdin.read().splitlines():
    try:
        rpn = xlwt.Formula(line).rpn()
        print(rpn[2:].hex())  # without the u16 length
    except Exception:
        print("ERROR")
