#include "seq/seq_language_description.h"

namespace kasa {

std::string_view SequenceLanguageDescription() {
    return "Opis języka sekwencji.\r"
           "Poza sekwencją wszystkie znaki są pomijane: kompilowane jest tylko to, co stoi "
           "między seq = a \\<end>.\r"
           "Słowo seq zaczyna się małą literą s; w jednym pliku może być wiele sekwencji.\r"
           "W sekwencji pomijane są spacje, znaki sterujące i znaki o kodach od 128 w górę.\r"
           "Spacje, które mają się znaleźć w wyniku, trzeba ująć w apostrofy.\r"
           "Wielkość liter w poleceniach nie ma znaczenia.\r"
           "Data i czas są odczytywane w chwili rozpoczęcia kompilacji.\r"
           "Na kod Mazovia zamieniane są tylko polskie litery tekstu ujętego w apostrofy.\r"
           "\\; - komentarz do końca linii.\r"
           "\\<ESC> lub \\E - znak ESC (1Bh).\r"
           "\\<CR> lub \\r - powrót karetki (0Dh).\r"
           "\\<LF> lub \\n - nowa linia (0Ah).\r"
           "\\<FF> lub \\f - bajt FFh.\r"
           "\\<SPC> - spacja (20h).\r"
           "\\<Y> - rok bez stulecia, np. 26.\r"
           "\\<lY> - rok czterocyfrowy, np. 2026.\r"
           "\\<M> - miesiąc (1..12).\r"
           "\\<D> - dzień miesiąca (1..31).\r"
           "\\<H> - godzina (0..23).\r"
           "\\<Min> - minuta (0..59).\r"
           "\\<123> - bajt o podanej wartości dziesiętnej (młodsze 8 bitów liczby).\r"
           "\\xHH - bajt o wartości szesnastkowej HH.\r"
           "\\\\ - znak \\.\r"
           "'tekst' - tekst przepisywany dosłownie, ze spacjami i końcami linii; polskie "
           "litery w kodzie Mazovia.\r"
           "\\<check_start> - początek obszaru sumy kontrolnej.\r"
           "\\<check_insert> - koniec obszaru i wstawienie jego sumy kontrolnej (XOR od FFh) "
           "jako dwóch cyfr szesnastkowych.\r"
           "\\<comment> lub \\<c> - początek bloku komentarza.\r"
           "\\<end_comment> lub \\<e> - koniec bloku komentarza.\r"
           "\\<end> - koniec sekwencji.";
}

}  // namespace kasa
