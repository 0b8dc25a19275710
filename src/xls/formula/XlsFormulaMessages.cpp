#include "xls/formula/XlsFormulaMessages.h"

#include "xls/storage/ExcelException.h"

#include <QHash>

#include <vector>

// Numbers the format leaves unused are filled with "NotAFunction<n>" entries so
// the table can be indexed by the function number directly.
const TCellFunctionData FuncNameArray[FunctionCount] = {
    {0, "COUNT", 0, 30, 0x0000, "R"},
    {1, "IF", 2, 3, 0x0100, "VRR"},
    {2, "ISNA", 1, 1, 0x0000, "V"},
    {3, "ISERROR", 1, 1, 0x0000, "V"},
    {4, "SUM", 0, 30, 0x0000, "R"},
    {5, "AVERAGE", 1, 30, 0x0000, "R"},
    {6, "MIN", 1, 30, 0x0000, "R"},
    {7, "MAX", 1, 30, 0x0000, "R"},
    {8, "ROW", 0, 1, 0x0000, "R"},
    {9, "COLUMN", 0, 1, 0x0000, "R"},
    {10, "NA", 0, 0, 0x0000, "-"},
    {11, "NPV", 2, 30, 0x0000, "VR"},
    {12, "STDEV", 1, 30, 0x0000, "R"},
    {13, "DOLLAR", 1, 2, 0x0000, "VV"},
    {14, "FIXED", 2, 3, 0x0000, "VVV"},
    {15, "SIN", 1, 1, 0x0000, "V"},
    {16, "COS", 1, 1, 0x0000, "V"},
    {17, "TAN", 1, 1, 0x0000, "V"},
    {18, "ATAN", 1, 1, 0x0000, "V"},
    {19, "PI", 0, 0, 0x0000, "-"},
    {20, "SQRT", 1, 1, 0x0000, "V"},
    {21, "EXP", 1, 1, 0x0000, "V"},
    {22, "LN", 1, 1, 0x0000, "V"},
    {23, "LOG10", 1, 1, 0x0000, "V"},
    {24, "ABS", 1, 1, 0x0000, "V"},
    {25, "INT", 1, 1, 0x0000, "V"},
    {26, "SIGN", 1, 1, 0x0000, "V"},
    {27, "ROUND", 2, 2, 0x0000, "VV"},
    {28, "LOOKUP", 2, 3, 0x0000, "VRR"},
    {29, "INDEX", 2, 4, 0x0100, "RVVV"},
    {30, "REPT", 2, 2, 0x0000, "VV"},
    {31, "MID", 3, 3, 0x0000, "VVV"},
    {32, "LEN", 1, 1, 0x0000, "V"},
    {33, "VALUE", 1, 1, 0x0000, "V"},
    {34, "TRUE", 0, 0, 0x0000, "-"},
    {35, "FALSE", 0, 0, 0x0000, "-"},
    {36, "AND", 1, 30, 0x0000, "R"},
    {37, "OR", 1, 30, 0x0000, "R"},
    {38, "NOT", 1, 1, 0x0000, "V"},
    {39, "MOD", 2, 2, 0x0000, "VV"},
    {40, "DCOUNT", 3, 3, 0x0000, "RRR"},
    {41, "DSUM", 3, 3, 0x0000, "RRR"},
    {42, "DAVERAGE", 3, 3, 0x0000, "RRR"},
    {43, "DMIN", 3, 3, 0x0000, "RRR"},
    {44, "DMAX", 3, 3, 0x0000, "RRR"},
    {45, "DSTDEV", 3, 3, 0x0000, "RRR"},
    {46, "VAR", 1, 30, 0x0000, "R"},
    {47, "DVAR", 3, 3, 0x0000, "RRR"},
    {48, "TEXT", 2, 2, 0x0000, "VV"},
    {49, "LINEST", 1, 4, 0x0200, "RRVV"},
    {50, "TREND", 1, 4, 0x0200, "RRRV"},
    {51, "LOGEST", 1, 4, 0x0200, "RRVV"},
    {52, "GROWTH", 1, 4, 0x0200, "RRRV"},
    {53, "NotAFunction53", 0, 0, 0, ""},
    {54, "NotAFunction54", 0, 0, 0, ""},
    {55, "NotAFunction55", 0, 0, 0, ""},
    {56, "PV", 3, 5, 0x0000, "VVVVV"},
    {57, "FV", 3, 5, 0x0000, "VVVVV"},
    {58, "NPER", 3, 5, 0x0000, "VVVVV"},
    {59, "PMT", 3, 5, 0x0000, "VVVVV"},
    {60, "RATE", 3, 6, 0x0000, "VVVVVV"},
    {61, "MIRR", 3, 3, 0x0000, "RVV"},
    {62, "IRR", 1, 2, 0x0000, "RV"},
    {63, "RAND", 0, 0, 0x0001, "-"},
    {64, "MATCH", 2, 3, 0x0000, "VRR"},
    {65, "DATE", 3, 3, 0x0000, "VVV"},
    {66, "TIME", 3, 3, 0x0000, "VVV"},
    {67, "DAY", 1, 1, 0x0000, "V"},
    {68, "MONTH", 1, 1, 0x0000, "V"},
    {69, "YEAR", 1, 1, 0x0000, "V"},
    {70, "WEEKDAY", 1, 2, 0x0000, "VV"},
    {71, "HOUR", 1, 1, 0x0000, "V"},
    {72, "MINUTE", 1, 1, 0x0000, "V"},
    {73, "SECOND", 1, 1, 0x0000, "V"},
    {74, "NOW", 0, 0, 0x0001, "-"},
    {75, "AREAS", 1, 1, 0x0000, "R"},
    {76, "ROWS", 1, 1, 0x0000, "R"},
    {77, "COLUMNS", 1, 1, 0x0000, "R"},
    {78, "OFFSET", 3, 5, 0x0101, "RVVVV"},
    {79, "NotAFunction79", 0, 0, 0, ""},
    {80, "NotAFunction80", 0, 0, 0, ""},
    {81, "NotAFunction81", 0, 0, 0, ""},
    {82, "SEARCH", 2, 3, 0x0000, "VVV"},
    {83, "TRANSPOSE", 1, 1, 0x0200, "A"},
    {84, "NotAFunction84", 0, 0, 0, ""},
    {85, "NotAFunction85", 0, 0, 0, ""},
    {86, "TYPE", 1, 1, 0x0000, "V"},
    {87, "NotAFunction87", 0, 0, 0, ""},
    {88, "NotAFunction88", 0, 0, 0, ""},
    {89, "NotAFunction89", 0, 0, 0, ""},
    {90, "NotAFunction90", 0, 0, 0, ""},
    {91, "NotAFunction91", 0, 0, 0, ""},
    {92, "NotAFunction92", 0, 0, 0, ""},
    {93, "NotAFunction93", 0, 0, 0, ""},
    {94, "NotAFunction94", 0, 0, 0, ""},
    {95, "NotAFunction95", 0, 0, 0, ""},
    {96, "NotAFunction96", 0, 0, 0, ""},
    {97, "ATAN2", 2, 2, 0x0000, "VV"},
    {98, "ASIN", 1, 1, 0x0000, "V"},
    {99, "ACOS", 1, 1, 0x0000, "V"},
    {100, "CHOOSE", 2, 30, 0x0100, "VR"},
    {101, "HLOOKUP", 3, 4, 0x0000, "VRRV"},
    {102, "VLOOKUP", 3, 4, 0x0000, "VRRV"},
    {103, "NotAFunction103", 0, 0, 0, ""},
    {104, "NotAFunction104", 0, 0, 0, ""},
    {105, "ISREF", 1, 1, 0x0000, "R"},
    {106, "NotAFunction106", 0, 0, 0, ""},
    {107, "NotAFunction107", 0, 0, 0, ""},
    {108, "NotAFunction108", 0, 0, 0, ""},
    {109, "LOG", 1, 2, 0x0000, "VV"},
    {110, "NotAFunction110", 0, 0, 0, ""},
    {111, "CHAR", 1, 1, 0x0000, "V"},
    {112, "LOWER", 1, 1, 0x0000, "V"},
    {113, "UPPER", 1, 1, 0x0000, "V"},
    {114, "PROPER", 1, 1, 0x0000, "V"},
    {115, "LEFT", 1, 2, 0x0000, "VV"},
    {116, "RIGHT", 1, 2, 0x0000, "VV"},
    {117, "EXACT", 2, 2, 0x0000, "VV"},
    {118, "TRIM", 1, 1, 0x0000, "V"},
    {119, "REPLACE", 4, 4, 0x0000, "VVVV"},
    {120, "SUBSTITUTE", 3, 4, 0x0000, "VVVV"},
    {121, "CODE", 1, 1, 0x0000, "V"},
    {122, "NotAFunction122", 0, 0, 0, ""},
    {123, "NotAFunction123", 0, 0, 0, ""},
    {124, "FIND", 2, 3, 0x0000, "VVV"},
    {125, "CELL", 1, 2, 0x0001, "VR"},
    {126, "ISERR", 1, 1, 0x0000, "V"},
    {127, "ISTEXT", 1, 1, 0x0000, "V"},
    {128, "ISNUMBER", 1, 1, 0x0000, "V"},
    {129, "ISBLANK", 1, 1, 0x0000, "V"},
    {130, "T", 1, 1, 0x0000, "R"},
    {131, "N", 1, 1, 0x0000, "R"},
    {132, "NotAFunction132", 0, 0, 0, ""},
    {133, "NotAFunction133", 0, 0, 0, ""},
    {134, "NotAFunction134", 0, 0, 0, ""},
    {135, "NotAFunction135", 0, 0, 0, ""},
    {136, "NotAFunction136", 0, 0, 0, ""},
    {137, "NotAFunction137", 0, 0, 0, ""},
    {138, "NotAFunction138", 0, 0, 0, ""},
    {139, "NotAFunction139", 0, 0, 0, ""},
    {140, "DATEVALUE", 1, 1, 0x0000, "V"},
    {141, "TIMEVALUE", 1, 1, 0x0000, "V"},
    {142, "SLN", 3, 3, 0x0000, "VVV"},
    {143, "SYD", 4, 4, 0x0000, "VVVV"},
    {144, "DDB", 4, 5, 0x0000, "VVVVV"},
    {145, "NotAFunction145", 0, 0, 0, ""},
    {146, "NotAFunction146", 0, 0, 0, ""},
    {147, "NotAFunction147", 0, 0, 0, ""},
    {148, "INDIRECT", 1, 2, 0x0101, "VV"},
    {149, "NotAFunction149", 0, 0, 0, ""},
    {150, "NotAFunction150", 0, 0, 0, ""},
    {151, "NotAFunction151", 0, 0, 0, ""},
    {152, "NotAFunction152", 0, 0, 0, ""},
    {153, "NotAFunction153", 0, 0, 0, ""},
    {154, "NotAFunction154", 0, 0, 0, ""},
    {155, "NotAFunction155", 0, 0, 0, ""},
    {156, "NotAFunction156", 0, 0, 0, ""},
    {157, "NotAFunction157", 0, 0, 0, ""},
    {158, "NotAFunction158", 0, 0, 0, ""},
    {159, "NotAFunction159", 0, 0, 0, ""},
    {160, "NotAFunction160", 0, 0, 0, ""},
    {161, "NotAFunction161", 0, 0, 0, ""},
    {162, "CLEAN", 1, 1, 0x0000, "V"},
    {163, "MDETERM", 1, 1, 0x0000, "A"},
    {164, "MINVERSE", 1, 1, 0x0200, "A"},
    {165, "MMULT", 2, 2, 0x0200, "AA"},
    {166, "NotAFunction166", 0, 0, 0, ""},
    {167, "IPMT", 4, 6, 0x0000, "VVVVVV"},
    {168, "PPMT", 4, 6, 0x0000, "VVVVVV"},
    {169, "COUNTA", 1, 30, 0x0000, "R"},
    {170, "NotAFunction170", 0, 0, 0, ""},
    {171, "NotAFunction171", 0, 0, 0, ""},
    {172, "NotAFunction172", 0, 0, 0, ""},
    {173, "NotAFunction173", 0, 0, 0, ""},
    {174, "NotAFunction174", 0, 0, 0, ""},
    {175, "NotAFunction175", 0, 0, 0, ""},
    {176, "NotAFunction176", 0, 0, 0, ""},
    {177, "NotAFunction177", 0, 0, 0, ""},
    {178, "NotAFunction178", 0, 0, 0, ""},
    {179, "NotAFunction179", 0, 0, 0, ""},
    {180, "NotAFunction180", 0, 0, 0, ""},
    {181, "NotAFunction181", 0, 0, 0, ""},
    {182, "NotAFunction182", 0, 0, 0, ""},
    {183, "PRODUCT", 1, 30, 0x0000, "R"},
    {184, "FACT", 1, 1, 0x0000, "V"},
    {185, "NotAFunction185", 0, 0, 0, ""},
    {186, "NotAFunction186", 0, 0, 0, ""},
    {187, "NotAFunction187", 0, 0, 0, ""},
    {188, "NotAFunction188", 0, 0, 0, ""},
    {189, "DPRODUCT", 3, 3, 0x0000, "RRR"},
    {190, "ISNONTEXT", 1, 1, 0x0000, "V"},
    {191, "NotAFunction191", 0, 0, 0, ""},
    {192, "NotAFunction192", 0, 0, 0, ""},
    {193, "STDEVP", 1, 30, 0x0000, "R"},
    {194, "VARP", 1, 30, 0x0000, "R"},
    {195, "DSTDEVP", 3, 3, 0x0000, "RRR"},
    {196, "DVARP", 3, 3, 0x0000, "RRR"},
    {197, "TRUNC", 1, 2, 0x0000, "VV"},
    {198, "ISLOGICAL", 1, 1, 0x0000, "V"},
    {199, "DCOUNTA", 3, 3, 0x0000, "RRR"},
    {200, "NotAFunction200", 0, 0, 0, ""},
    {201, "NotAFunction201", 0, 0, 0, ""},
    {202, "NotAFunction202", 0, 0, 0, ""},
    {203, "NotAFunction203", 0, 0, 0, ""},
    {204, "USDOLLAR", 1, 2, 0x0000, "VV"},
    {205, "FINDB", 2, 3, 0x0000, "VVV"},
    {206, "SEARCHB", 2, 3, 0x0000, "VVV"},
    {207, "REPLACEB", 4, 4, 0x0000, "VVVV"},
    {208, "LEFTB", 1, 2, 0x0000, "VV"},
    {209, "RIGHTB", 1, 2, 0x0000, "VV"},
    {210, "MIDB", 3, 3, 0x0000, "VVV"},
    {211, "LENB", 1, 1, 0x0000, "V"},
    {212, "ROUNDUP", 2, 2, 0x0000, "VV"},
    {213, "ROUNDDOWN", 2, 2, 0x0000, "VV"},
    {214, "ASC", 1, 1, 0x0000, "V"},
    {215, "DBSC", 1, 1, 0x0000, "V"},
    {216, "RANK", 2, 3, 0x0000, "VRV"},
    {217, "NotAFunction217", 0, 0, 0, ""},
    {218, "NotAFunction218", 0, 0, 0, ""},
    {219, "ADDRESS", 2, 5, 0x0000, "VVVVV"},
    {220, "DAYS360", 2, 3, 0x0000, "VVV"},
    {221, "TODAY", 0, 0, 0x0001, "-"},
    {222, "VDB", 5, 7, 0x0000, "VVVVVVV"},
    {223, "NotAFunction223", 0, 0, 0, ""},
    {224, "NotAFunction224", 0, 0, 0, ""},
    {225, "NotAFunction225", 0, 0, 0, ""},
    {226, "NotAFunction226", 0, 0, 0, ""},
    {227, "MEDIAN", 1, 30, 0x0000, "R"},
    {228, "SUMPRODUCT", 1, 30, 0x0000, "A"},
    {229, "SINH", 1, 1, 0x0000, "V"},
    {230, "COSH", 1, 1, 0x0000, "V"},
    {231, "TANH", 1, 1, 0x0000, "V"},
    {232, "ASINH", 1, 1, 0x0000, "V"},
    {233, "ACOSH", 1, 1, 0x0000, "V"},
    {234, "ATANH", 1, 1, 0x0000, "V"},
    {235, "DGET", 3, 3, 0x0000, "RRR"},
    {236, "NotAFunction236", 0, 0, 0, ""},
    {237, "NotAFunction237", 0, 0, 0, ""},
    {238, "NotAFunction238", 0, 0, 0, ""},
    {239, "NotAFunction239", 0, 0, 0, ""},
    {240, "NotAFunction240", 0, 0, 0, ""},
    {241, "NotAFunction241", 0, 0, 0, ""},
    {242, "NotAFunction242", 0, 0, 0, ""},
    {243, "NotAFunction243", 0, 0, 0, ""},
    {244, "INFO", 1, 1, 0x0000, "V"},
    {245, "NotAFunction245", 0, 0, 0, ""},
    {246, "NotAFunction246", 0, 0, 0, ""},
    {247, "DB", 4, 5, 0x0000, "VVVVV"},
    {248, "NotAFunction248", 0, 0, 0, ""},
    {249, "NotAFunction249", 0, 0, 0, ""},
    {250, "NotAFunction250", 0, 0, 0, ""},
    {251, "NotAFunction251", 0, 0, 0, ""},
    {252, "FREQUENCY", 2, 2, 0x0200, "RR"},
    {253, "NotAFunction253", 0, 0, 0, ""},
    {254, "NotAFunction254", 0, 0, 0, ""},
    {255, "NotAFunction255", 0, 0, 0, ""},
    {256, "NotAFunction256", 0, 0, 0, ""},
    {257, "NotAFunction257", 0, 0, 0, ""},
    {258, "NotAFunction258", 0, 0, 0, ""},
    {259, "NotAFunction259", 0, 0, 0, ""},
    {260, "NotAFunction260", 0, 0, 0, ""},
    {261, "ERROR.TYPE", 1, 1, 0x0000, "V"},
    {262, "NotAFunction262", 0, 0, 0, ""},
    {263, "NotAFunction263", 0, 0, 0, ""},
    {264, "NotAFunction264", 0, 0, 0, ""},
    {265, "NotAFunction265", 0, 0, 0, ""},
    {266, "NotAFunction266", 0, 0, 0, ""},
    {267, "NotAFunction267", 0, 0, 0, ""},
    {268, "NotAFunction268", 0, 0, 0, ""},
    {269, "AVEDEV", 1, 30, 0x0000, "R"},
    {270, "BETADIST", 3, 5, 0x0000, "VVVVV"},
    {271, "GAMMALN", 1, 1, 0x0000, "V"},
    {272, "BETAINV", 3, 5, 0x0000, "VVVVV"},
    {273, "BINOMDIST", 4, 4, 0x0000, "VVVV"},
    {274, "CHIDIST", 2, 2, 0x0000, "VV"},
    {275, "CHIINV", 2, 2, 0x0000, "VV"},
    {276, "COMBIN", 2, 2, 0x0000, "VV"},
    {277, "CONFIDENCE", 3, 3, 0x0000, "VVV"},
    {278, "CRITBINOM", 3, 3, 0x0000, "VVV"},
    {279, "EVEN", 1, 1, 0x0000, "V"},
    {280, "EXPONDIST", 3, 3, 0x0000, "VVV"},
    {281, "FDIST", 3, 3, 0x0000, "VVV"},
    {282, "FINV", 3, 3, 0x0000, "VVV"},
    {283, "FISHER", 1, 1, 0x0000, "V"},
    {284, "FISHERINV", 1, 1, 0x0000, "V"},
    {285, "FLOOR", 2, 2, 0x0000, "VV"},
    {286, "GAMMADIST", 4, 4, 0x0000, "VVVV"},
    {287, "GAMMAINV", 3, 3, 0x0000, "VVV"},
    {288, "CEILING", 2, 2, 0x0000, "VV"},
    {289, "HYPGEOMDIST", 4, 4, 0x0000, "VVVV"},
    {290, "LOGNORMDIST", 3, 3, 0x0000, "VVV"},
    {291, "LOGINV", 3, 3, 0x0000, "VVV"},
    {292, "NEGBINOMDIST", 3, 3, 0x0000, "VVV"},
    {293, "NORMDIST", 4, 4, 0x0000, "VVVV"},
    {294, "NORMSDIST", 1, 1, 0x0000, "V"},
    {295, "NORMINV", 3, 3, 0x0000, "VVV"},
    {296, "NORMSINV", 1, 1, 0x0000, "V"},
    {297, "STANDARDIZE", 3, 3, 0x0000, "VVV"},
    {298, "ODD", 1, 1, 0x0000, "V"},
    {299, "PERMUT", 2, 2, 0x0000, "VV"},
    {300, "POISSON", 3, 3, 0x0000, "VVV"},
    {301, "TDIST", 3, 3, 0x0000, "VVV"},
    {302, "WEIBULL", 4, 4, 0x0000, "VVVV"},
    {303, "SUMXMY2", 2, 2, 0x0000, "AA"},
    {304, "SUMX2MY2", 2, 2, 0x0000, "AA"},
    {305, "SUMX2PY2", 2, 2, 0x0000, "AA"},
    {306, "CHITEST", 2, 2, 0x0000, "AA"},
    {307, "CORREL", 2, 2, 0x0000, "AA"},
    {308, "COVAR", 2, 2, 0x0000, "AA"},
    {309, "FORECAST", 3, 3, 0x0000, "VAA"},
    {310, "FTEST", 2, 2, 0x0000, "AA"},
    {311, "INTERCEPT", 2, 2, 0x0000, "AA"},
    {312, "PEARSON", 2, 2, 0x0000, "AA"},
    {313, "RSQ", 2, 2, 0x0000, "AA"},
    {314, "STEYX", 2, 2, 0x0000, "AA"},
    {315, "SLOPE", 2, 2, 0x0000, "AA"},
    {316, "TTEST", 4, 4, 0x0000, "AAVV"},
    {317, "PROB", 3, 4, 0x0000, "AAVV"},
    {318, "DEVSQ", 1, 30, 0x0000, "R"},
    {319, "GEOMEAN", 1, 30, 0x0000, "R"},
    {320, "HARMEAN", 1, 30, 0x0000, "R"},
    {321, "SUMSQ", 1, 30, 0x0000, "R"},
    {322, "KURT", 1, 30, 0x0000, "R"},
    {323, "SKEW", 1, 30, 0x0000, "R"},
    {324, "ZTEST", 2, 3, 0x0000, "RVV"},
    {325, "LARGE", 2, 2, 0x0000, "RV"},
    {326, "SMALL", 2, 2, 0x0000, "RV"},
    {327, "QUARTILE", 2, 2, 0x0000, "RV"},
    {328, "PERCENTILE", 2, 2, 0x0000, "RV"},
    {329, "PERCENTRANK", 2, 3, 0x0000, "RVV"},
    {330, "MODE", 1, 30, 0x0000, "A"},
    {331, "TRIMMEAN", 2, 2, 0x0000, "RV"},
    {332, "TINV", 2, 2, 0x0000, "VV"},
    {333, "NotAFunction333", 0, 0, 0, ""},
    {334, "NotAFunction334", 0, 0, 0, ""},
    {335, "NotAFunction335", 0, 0, 0, ""},
    {336, "CONCATENATE", 0, 30, 0x0000, "V"},
    {337, "POWER", 2, 2, 0x0000, "VV"},
    {338, "NotAFunction338", 0, 0, 0, ""},
    {339, "NotAFunction339", 0, 0, 0, ""},
    {340, "NotAFunction340", 0, 0, 0, ""},
    {341, "NotAFunction341", 0, 0, 0, ""},
    {342, "RADIANS", 1, 1, 0x0000, "V"},
    {343, "DEGREES", 1, 1, 0x0000, "V"},
    {344, "SUBTOTAL", 2, 30, 0x0000, "VR"},
    {345, "SUMIF", 2, 3, 0x0000, "RVR"},
    {346, "COUNTIF", 2, 2, 0x0000, "RV"},
    {347, "COUNTBLANK", 1, 1, 0x0000, "R"},
    {348, "NotAFunction348", 0, 0, 0, ""},
    {349, "NotAFunction349", 0, 0, 0, ""},
    {350, "ISPMT", 4, 4, 0x0000, "VVVV"},
    {351, "DATEDIF", 3, 3, 0x0000, "VVV"},
    {352, "DATESTRING", 1, 1, 0x0000, "V"},
    {353, "NUMBERSTRING", 2, 2, 0x0000, "VV"},
    {354, "ROMAN", 1, 2, 0x0000, "VV"},
    {355, "NotAFunction355", 0, 0, 0, ""},
    {356, "NotAFunction356", 0, 0, 0, ""},
    {357, "NotAFunction357", 0, 0, 0, ""},
    {358, "GETPIVOTDATA", 2, 30, 0x0000, "VAV"},
    {359, "HYPERLINK", 1, 2, 0x0000, "VV"},
    {360, "PHONETIC", 1, 1, 0x0000, "R"},
    {361, "AVERAGEA", 1, 30, 0x0000, "R"},
    {362, "MAXA", 1, 30, 0x0000, "R"},
    {363, "MINA", 1, 30, 0x0000, "R"},
    {364, "STDEVPA", 1, 30, 0x0000, "R"},
    {365, "VARPA", 1, 30, 0x0000, "R"},
    {366, "STDEVA", 1, 30, 0x0000, "R"},
    {367, "VARA", 1, 30, 0x0000, "R"},
};

const TErrorCode ErrorCodes[ErrorCodeCount] = {
    {0, "#NULL!"}, {7, "#DIV/0!"}, {15, "#VALUE!"}, {23, "#REF!"},
    {29, "#NAME?"}, {36, "#NUM!"}, {42, "#N/A"},
};

const TCellFunctionData &FunctionByIndex(int index)
{
    if (index < 0 || index >= FunctionCount)
        throw EExcelException(FormulaMessages::indexOutOfRange(index, "Function name", 0, FunctionCount - 1).toStdString());
    return FuncNameArray[index];
}

const QString &FunctionName(int index)
{
    static const std::vector<QString> names = [] {
        std::vector<QString> v;
        v.reserve(FunctionCount);
        for (const TCellFunctionData &f : FuncNameArray)
            v.push_back(f.name());
        return v;
    }();
    FunctionByIndex(index); // the range check
    return names[size_t(index)];
}

const TCellFunctionData *FunctionByName(const QString &name)
{
    static const QHash<QString, int> byName = [] {
        QHash<QString, int> h;
        for (const TCellFunctionData &f : FuncNameArray)
            h.insert(f.name(), f.Index);
        return h;
    }();
    auto it = byName.constFind(name);
    return it == byName.constEnd() ? nullptr : &FuncNameArray[*it];
}

QString ErrorCodeToText(int code)
{
    for (const TErrorCode &e : ErrorCodes)
        if (e.Code == code)
            return QString::fromLatin1(e.Text);
    return QStringLiteral("#UNKNOWN");
}

int ErrorTextToCode(QStringView text)
{
    for (const TErrorCode &e : ErrorCodes)
        if (text == QLatin1StringView(e.Text))
            return e.Code;
    return -1;
}

namespace FormulaMessages {

QString indexOutOfRange(int index, const char *property, int low, int high)
{
    return QStringLiteral("The index \"%1\" of the property \"%2\" is not in the range %3-%4")
        .arg(index).arg(QLatin1StringView(property)).arg(low).arg(high);
}

static QString hexId(int id)
{
    // "%2x": at least two hex digits, space-padded as the original format does
    return QStringLiteral("%1").arg(id, 2, 16, QLatin1Char(' '));
}

QString tokenNotSupported(int id)
{
    return QStringLiteral("Error reading formula, Token Id: 0x%1 is not supported").arg(hexId(id));
}

QString formulaNotSupported(int row, int col, int id)
{
    return QStringLiteral("Formula at Row %1, column %2 is not supported. Token Id: 0x%3").arg(row).arg(col).arg(hexId(id));
}

void raiseTokensRunPast()
{
    throw EExcelException(QStringLiteral("Error reading formula: the tokens run past the record"));
}

} // namespace FormulaMessages
