#include "xls/formula/FormulaTokens.h"

#include <array>

namespace {

struct TEntry
{
    quint8 Id;
    TTokenInfo Info;
};

constexpr TEntry Tokens[] = {
    {Ptg::Exp, {"Exp", 5}},          {Ptg::Tbl, {"Tbl", 5}},
    {Ptg::Add, {"Add", 1}},          {Ptg::Sub, {"Sub", 1}},
    {Ptg::Mul, {"Mul", 1}},          {Ptg::Div, {"Div", 1}},
    {Ptg::Power, {"Power", 1}},      {Ptg::Concat, {"Concat", 1}},
    {Ptg::LT, {"LT", 1}},            {Ptg::LE, {"LE", 1}},
    {Ptg::EQ, {"EQ", 1}},            {Ptg::GE, {"GE", 1}},
    {Ptg::GT, {"GT", 1}},            {Ptg::NE, {"NE", 1}},
    {Ptg::Isect, {"Isect", 1}},      {Ptg::Union, {"Union", 1}},
    {Ptg::Range, {"Range", 1}},      {Ptg::UPlus, {"UPlus", 1}},
    {Ptg::UMinus, {"UMinus", 1}},    {Ptg::Percent, {"Percent", 1}},
    {Ptg::Paren, {"Paren", 1}},      {Ptg::MissArg, {"MissArg", 1}},
    {Ptg::Str, {"Str", 0}},          {Ptg::Attr, {"Attr", 0}},
    {Ptg::Err, {"Err", 2}},          {Ptg::Bool, {"Bool", 2}},
    {Ptg::Int, {"Int", 3}},          {Ptg::Num, {"Num", 9}},
    {Ptg::Array, {"Array", 8}},      {Ptg::Func, {"Func", 3}},
    {Ptg::FuncVar, {"FuncVar", 4}},  {Ptg::Name, {"Name", 5}},
    {Ptg::Ref, {"Ref", 5}},          {Ptg::Area, {"Area", 9}},
    {Ptg::MemArea, {"MemArea", 7}},  {Ptg::MemErr, {"MemErr", 7}},
    {Ptg::MemNoMem, {"MemNoMem", 7}}, {Ptg::MemFunc, {"MemFunc", 3}},
    {Ptg::RefErr, {"RefErr", 5}},    {Ptg::AreaErr, {"AreaErr", 9}},
    {Ptg::RefN, {"RefN", 5}},        {Ptg::AreaN, {"AreaN", 9}},
    {Ptg::MemAreaN, {"MemAreaN", 7}}, {Ptg::MemNoMemN, {"MemNoMemN", 7}},
    {Ptg::NameX, {"NameX", 7}},      {Ptg::Ref3d, {"Ref3d", 7}},
    {Ptg::Area3d, {"Area3d", 11}},   {Ptg::RefErr3d, {"RefErr3d", 7}},
    {Ptg::AreaErr3d, {"AreaErr3d", 11}},
};

}  // namespace

const TTokenInfo *TokenInfo(quint8 stored)
{
    // Indexed by base id once; the table above stays the one place to edit.
    static const auto byId = [] {
        std::array<const TTokenInfo *, 0x40> index{};
        for (const TEntry &e : Tokens)
            index[e.Id] = &e.Info;
        return index;
    }();
    const quint8 id = BaseToken(stored);
    return id < byId.size() ? byId[id] : nullptr;
}
