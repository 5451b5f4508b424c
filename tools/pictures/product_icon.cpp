#include "pictures.h"
#include "pixel_art.h"

// A monitor whose teal desktop holds neatly arranged icons: the product tidies
// the desktop.

std::vector<IndexedPicture> drawProductIcon()
{
    const IndexedPicture large = iconImageFromGrid({
        // clang-format off
        "............................Y...",
        "............................Y...",
        "...........................YWY..",
        "........................YYYWWWYY",
        "...........................YWY..",
        "............................Y...",
        ".KKKKKKKKKKKKKKKKKKKKKKKKKK.Y...",
        "KWWWWWWWWWWWWWWWWWWWWWWWWWsK....",
        "KWssssssssssssssssssssssssdK....",
        "KWsddddddddddddddddddddddsdK....",
        "KWsdKKKKKKKKKKKKKKKKKKKKWsdK....",
        "KWsdKtttttttttttttttttttWsdK....",
        "KWsdKttYYYYtWWWWtGGGGtttWsdK....",
        "KWsdKttYYYYtWWWWtGGGGtttWsdK....",
        "KWsdKttYYYYtWWWWtGGGGtttWsdK....",
        "KWsdKtttnnnntnnnntnnnnttWsdK....",
        "KWsdKttCCCCtYYYYtWWWWtttWsdK....",
        "KWsdKttCCCCtYYYYtWWWWtttWsdK....",
        "KWsdKttCCCCtYYYYtWWWWtttWsdK....",
        "KWsdKtttnnnntnnnntnnnnttWsdK....",
        "KWsdKtttttttttttttttttttWsdK....",
        "KWsdWWWWWWWWWWWWWWWWWWWWWsdK....",
        "KWssssssssssssssssssssGsssdK....",
        "KsdddddddddddddddddddddddddK....",
        ".KKKKKKKKKKKKKKKKKKKKKKKKKK.....",
        "..........KssssssK..............",
        ".....KKKKKKddddddKKKKKK.........",
        "....KWWWWWWWWWWWWWWWWWWK........",
        "....KssssssssssssssssssK........",
        "....KddddddddddddddddddK........",
        ".....KKKKKKKKKKKKKKKKKK.........",
        "................................",
        // clang-format on
    });
    const IndexedPicture small = iconImageFromGrid({
        // clang-format off
        "..............Y.",
        "..............Y.",
        "............YYWY",
        ".KKKKKKKKKKKK.Y.",
        "KWWWWWWWWWWWsKY.",
        "KWKKKKKKKKKKdK..",
        "KWKtYYtWWtGGdK..",
        "KWKtttttttttdK..",
        "KWKtCCtYYtWWdK..",
        "KWKtttttttttdK..",
        "KWKtttttttttdK..",
        "KsdddddddddddK..",
        ".KKKKKKKKKKKK...",
        "......KdK.......",
        "...KsssssssK....",
        "....KKKKKKK.....",
        // clang-format on
    });
    return {large, small};
}
