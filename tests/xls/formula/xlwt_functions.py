# Prints python3-xlwt's built-in function table, one function a line:
# number name min max argument-classes
from xlwt import ExcelMagic

for name, (number, lo, hi, _ret, args) in sorted(ExcelMagic.all_funcs_by_name.items()):
    if number >= 0:
        print(number, name, lo, hi, args)
