#include "pictures.h"
#include "pixel_art.h"

// A monitor whose teal desktop holds neatly arranged icons: the product tidies
// the desktop.

std::vector<IndexedPicture> drawProductIcon() {
    const IndexedPicture large = iconImageFromGrid({
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
    });
    const IndexedPicture small = iconImageFromGrid({
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
    });
    return {large, small};
}
