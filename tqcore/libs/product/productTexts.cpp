// The product's about and legal texts, in English, German, Spanish, French and Brazilian
// Portuguese.
#include <product/productTexts.h>

namespace product {

namespace {

// The product and company names stay as they are in every language; the copyright line is the
// same everywhere. The marked-up text takes the acknowledgements address for %S.
const plat::BuiltinText Texts[] = {
    {"product_about_fmt", "About Quorvel Server %S", "Über Quorvel Server %S",
     "Acerca de Quorvel Server %S", "À propos de Quorvel Server %S", "Sobre o Quorvel Server %S"},
    {"product_ack_intro",
     "For third party acknowledgements see:", "Danksagungen an Dritte finden Sie unter:",
     "Para consultar los reconocimientos a terceros, visite:",
     "Pour les remerciements aux tiers, voir\u00A0:",
     "Para ver os agradecimentos a terceiros, consulte:"},
    {"product_copyright", "Copyright © 2026 Quorvel Ltd. All rights reserved.",
     "Copyright © 2026 Quorvel Ltd. All rights reserved.",
     "Copyright © 2026 Quorvel Ltd. All rights reserved.",
     "Copyright © 2026 Quorvel Ltd. All rights reserved.",
     "Copyright © 2026 Quorvel Ltd. All rights reserved."},
    {"product_further_info", "For more information, visit https://www.quorvel.example.",
     "Weitere Informationen finden Sie unter https://www.quorvel.example.",
     "Para obtener más información, visite https://www.quorvel.example.",
     "Pour plus d'informations, consultez https://www.quorvel.example.",
     "Para obter mais informações, visite https://www.quorvel.example."},
    {"product_info_marked_up_fmt",
     "<div>For more information, visit <a "
     "href=\"https://www.quorvel.example\">https://www.quorvel.example</a>.</div><div>For third "
     "party acknowledgements, follow <a href=\"%S\">this link</a>.</div>",
     "<div>Weitere Informationen finden Sie unter <a "
     "href=\"https://www.quorvel.example\">https://www.quorvel.example</a>.</div><div>Danksagungen "
     "an Dritte finden Sie über <a href=\"%S\">diesen Link</a>.</div>",
     "<div>Para obtener más información, visite <a "
     "href=\"https://www.quorvel.example\">https://www.quorvel.example</a>.</div><div>Para "
     "consultar los reconocimientos a terceros, siga <a href=\"%S\">este enlace</a>.</div>",
     "<div>Pour plus d'informations, consultez <a "
     "href=\"https://www.quorvel.example\">https://www.quorvel.example</a>.</div><div>Pour les "
     "remerciements aux tiers, suivez <a href=\"%S\">ce lien</a>.</div>",
     "<div>Para obter mais informações, visite <a "
     "href=\"https://www.quorvel.example\">https://www.quorvel.example</a>.</div><div>Para ver os "
     "agradecimentos a terceiros, siga <a href=\"%S\">este link</a>.</div>"},
    {"product_patents", "This product is not covered by any patent.",
     "Dieses Produkt ist durch keine Patente geschützt.",
     "Este producto no está protegido por ninguna patente.",
     "Ce produit n'est couvert par aucun brevet.",
     "Este produto não é protegido por nenhuma patente."},
    {"product_trademarks", "Quorvel is a trademark of Quorvel Ltd.",
     "Quorvel ist eine Marke der Quorvel Ltd.", "Quorvel es una marca comercial de Quorvel Ltd.",
     "Quorvel est une marque commerciale de Quorvel Ltd.",
     "Quorvel é uma marca comercial da Quorvel Ltd."},
};

} // namespace

const plat::BuiltinTextTable productTexts(Texts);

} // namespace product
