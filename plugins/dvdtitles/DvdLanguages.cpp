// The language table of DVD audio and subtitle streams: two-letter codes
// and their names, most in English with a leading "*", the larger European
// languages in their own language.
#include "plugins/dvdtitles/DvdLanguages.h"

namespace {

const DvdLanguage kLanguages[] = {
    {"  ", "Not Specified"}, {"aa", "*Afar"}, {"ab", "*Abkhazian"}, {"af", "*Afrikaans"},
    {"am", "*Amharic"}, {"ar", "*Arabic"}, {"as", "*Assamese"}, {"ay", "*Aymara"},
    {"az", "*Azerbaijani"}, {"ba", "*Bashkir"}, {"be", "*Byelorussian"}, {"bg", "*Bulgarian"},
    {"bh", "*Bihari"}, {"bi", "*Bislama"}, {"bn", "*Bengali; Bangla"}, {"bo", "*Tibetan"},
    {"br", "*Breton"}, {"ca", "*Catalan"}, {"co", "*Corsican"}, {"cs", "*Czech(Ceske)"},
    {"cy", "*Welsh"}, {"da", "Dansk"}, {"de", "Deutsch"}, {"dz", "*Bhutani"}, {"el", "*Greek"},
    {"en", "English"}, {"eo", "*Esperanto"}, {"es", "Espanol"}, {"et", "*Estonian"},
    {"eu", "*Basque"}, {"fa", "*Persian"}, {"fi", "Suomi"}, {"fj", "*Fiji"}, {"fo", "*Faroese"},
    {"fr", "Francais"}, {"fy", "*Frisian"}, {"ga", "*Irish"}, {"gd", "*Scots Gaelic"},
    {"gl", "*Galician"}, {"gn", "*Guarani"}, {"gu", "*Gujarati"}, {"ha", "*Hausa"},
    {"he", "*Hebrew"}, {"hi", "*Hindi"}, {"hr", "Hrvatski"}, {"hu", "Magyar"}, {"hy", "*Armenian"},
    {"ia", "*Interlingua"}, {"id", "*Indonesian"}, {"ie", "*Interlingue"}, {"ik", "*Inupiak"},
    {"in", "*Indonesian"}, {"is", "Islenska"}, {"it", "Italiano"}, {"iu", "*Inuktitut"},
    {"iw", "*Hebrew"}, {"ja", "*Japanese"}, {"ji", "*Yiddish"}, {"jw", "*Javanese"},
    {"ka", "*Georgian"}, {"kk", "*Kazakh"}, {"kl", "*Greenlandic"}, {"km", "*Cambodian"},
    {"kn", "*Kannada"}, {"ko", "*Korean"}, {"ks", "*Kashmiri"}, {"ku", "*Kurdish"},
    {"ky", "*Kirghiz"}, {"la", "*Latin"}, {"ln", "*Lingala"}, {"lo", "*Laothian"},
    {"lt", "*Lithuanian"}, {"lv", "*Latvian, Lettish"}, {"mg", "*Malagasy"}, {"mi", "*Maori"},
    {"mk", "*Macedonian"}, {"ml", "*Malayalam"}, {"mn", "*Mongolian"}, {"mo", "*Moldavian"},
    {"mr", "*Marathi"}, {"ms", "*Malay"}, {"mt", "*Maltese"}, {"my", "*Burmese"}, {"na", "*Nauru"},
    {"ne", "*Nepali"}, {"nl", "Nederlands"}, {"no", "Norsk"}, {"oc", "*Occitan"},
    {"om", "*(Afan) Oromo"}, {"or", "*Oriya"}, {"pa", "*Punjabi"}, {"pl", "*Polish"},
    {"ps", "*Pashto, Pushto"}, {"pt", "Portugues"}, {"qu", "*Quechua"}, {"rm", "*Rhaeto-Romance"},
    {"rn", "*Kirundi"}, {"ro", "*Romanian"}, {"ru", "*Russian"}, {"rw", "*Kinyarwanda"},
    {"sa", "*Sanskrit"}, {"sd", "*Sindhi"}, {"sg", "*Sangho"}, {"sh", "*Serbo-Croatian"},
    {"si", "*Sinhalese"}, {"sk", "*Slovak"}, {"sl", "*Slovenian"}, {"sm", "*Samoan"},
    {"sn", "*Shona"}, {"so", "*Somali"}, {"sq", "*Albanian"}, {"sr", "*Serbian"},
    {"ss", "*Siswati"}, {"st", "*Sesotho"}, {"su", "*Sundanese"}, {"sv", "Svenska"},
    {"sw", "*Swahili"}, {"ta", "*Tamil"}, {"te", "*Telugu"}, {"tg", "*Tajik"}, {"th", "*Thai"},
    {"ti", "*Tigrinya"}, {"tk", "*Turkmen"}, {"tl", "*Tagalog"}, {"tn", "*Setswana"},
    {"to", "*Tonga"}, {"tr", "*Turkish"}, {"ts", "*Tsonga"}, {"tt", "*Tatar"}, {"tw", "*Twi"},
    {"ug", "*Uighur"}, {"uk", "*Ukrainian"}, {"ur", "*Urdu"}, {"uz", "*Uzbek"},
    {"vi", "*Vietnamese"}, {"vo", "*Volapuk"}, {"wo", "*Wolof"}, {"xh", "*Xhosa"},
    {"yi", "*Yiddish"}, {"yo", "*Yoruba"}, {"za", "*Zhuang"}, {"zh", "*Chinese"}, {"zu", "*Zulu"},
    {"", ""},
};

}  // namespace

const DvdLanguage* DvdLanguageTable()
{
    return kLanguages;
}

const char* FindLanguageName(uint16_t code)
{
    for (const DvdLanguage* row = kLanguages; row->code[0] != '\0'; row++) {
        if (uint8_t(row->code[0]) == code >> 8 && uint8_t(row->code[1]) == (code & 0xFF))
            return row->name;
    }
    return "";
}
