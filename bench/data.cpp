#include "bench/data.h"

#include "bench/server.h"

namespace bench {

const char *const authorisation = "RO0000000001A";

Sizes Sizes::quick()
{
    Sizes s;
    s.articles = 5000;
    s.invoices = 400;
    s.partners = 40;
    s.declarationRows = 5000;
    s.posts = 10;
    s.moves = 10;
    return s;
}

namespace {

// Names as a Romanian drinks trader keeps them, diacritics included, so that every cell is real UTF-8
// for the layer to decode; about one name in ten contains a "w".
const char *const articlesSql = R"SQL(
insert into acciza (acciza_id, cod_acciza_ro, den_acciza)
select i,
       (array['B000','W200','W300','I000','S200','S300','T200','E430'])[1 + i % 8],
       'Categoria accizabilă ' || i
from generate_series(1, 20) i;

insert into articol (articol, um, cod_nc, packaging, grad_alcoolic, capacitate_litri, greutate_neta,
                     emcs_density, emcs_plato_degree, acciza_id)
select (array['Bere','Vin','Vodcă','Whisky','Ţuică','Coniac','Lichior','Gin','Rom','Şampanie'])[1 + i % 10]
       || ' ' || (array['blondă','brună','alb','roşu','sec','demisec','dulce','premium','clasic','superior',
                        'de casă'])[1 + (i / 10) % 11]
       || ' ' || (array['0,33 l','0,5 l','0,7 l','0,75 l','1 l','2 l'])[1 + (i / 110) % 6]
       || ' ART-' || lpad(i::text, 6, '0'),
       (array['buc','l','kg','bax'])[1 + i % 4],
       case when i % 7 = 0 then null else lpad(((i::bigint * 7919) % 100000000)::text, 8, '0') end,
       (array['BO','CS','CA','KG',null])[1 + i % 5],
       case when i % 3 = 0 then null else ((i * 37) % 400) / 10.0 end,
       (array[0.33, 0.5, 0.7, 0.75, 1, 2])[1 + (i / 110) % 6],
       ((i::bigint * 131) % 100000) / 1000.0,
       case when i % 11 = 0 then 0.9 + (i % 200) / 1000.0 end,
       case when i % 13 = 0 then 10 + (i % 80) / 10.0 end,
       case when i % 9 = 0 then null else 1 + i % 22 end
from generate_series(1, %1) i;
)SQL";

// Invoices of the last 300 days, each with two excise lines; each partner has several supplier
// numbers on its eDA invoices (and now and then none), and every third invoice a goods-received note.
const char *const invoicesSql = R"SQL(
insert into emcs_autorizatie (nr_autorizatie, tip_autorizatie)
values ('%3', 'destinatar inregistrat'), ('RO0000000002A', 'antrepozit fiscal');

insert into doc (data_doc, tip_doc, nr_doc, partener, data_doc_ue_baza, tip_doc_ue_baza, nr_doc_ue_baza,
                 emcs_eu_cod_acciza_depozit, emcs_partener_cod_acciza_depozit)
select current_date - (i % 300),
       case when i % 4 = 0 then 'FactFE' else 'FactFI' end,
       'F' || lpad(i::text, 7, '0'),
       'Furnizor ' || (i % %2) || ' SRL',
       current_date - (i % 300) - 2,
       case when i % 5 = 0 then 'VAMA' else 'eDA' end,
       '23RO' || lpad(i::text, 12, '0'),
       '%3',
       case when i % 17 = 0 then null else 'RO' || lpad(((i % %2) * 10 + i % 3)::text, 11, '0') end
from generate_series(1, %1) i;

insert into doc_poz (data_doc, tip_doc, nr_doc, scv, articol, acciza_id, cantitate, pret)
select d.data_doc, d.tip_doc, d.nr_doc, s, 'Bere blondă 0,5 l ART-' || lpad(s::text, 6, '0'), 1 + s, 10 * s, 2.5
from doc d, generate_series(1, 2) s;

insert into doc_creare (data_doc, tip_doc, nr_doc, data_doc_sursa, tip_doc_sursa, nr_doc_sursa)
select d.data_doc, 'NIR', 'N' || substr(d.nr_doc, 2), d.data_doc, d.tip_doc, d.nr_doc
from doc d
where d.tip_doc in ('FactFI', 'FactFE') and substr(d.nr_doc, 2)::int % 3 = 0;

-- The company's ERP finds an invoice's partner by an index; the bench gives its copy the same.
create index doc_partener on doc (partener);
)SQL";

// The declaration function with the shape of the real one (one text column, the document's lines in
// order, lines as long as an <achizitie> element) but whose rows come from generate_series, so that the
// figure weighs the client's work rather than the server's XML assembly.
const char *const declarationSql = R"SQL(
create or replace function o_emcs_xml_anexa19(pdata date, pemcseucodaccizadepozit text)
returns table (o_emcs_xml_anexa19 text)
language sql volatile as $fn$
    select '<?xml version="1.0" encoding="UTF-8"?>'
    union all
    select '    <achizitie nrCrt="' || i || '" dataFactura="' || to_char(pdata, 'YYYY-MM-') || lpad((1 + i % 28)::text, 2, '0')
           || '" tipFactura="FactFI" nrFactura="F' || lpad((i / 50)::text, 7, '0') || '" linie="' || (1 + i % 50)
           || '" furnizor="Furnizor ' || (i % 500) || ' SRL" codAccizaFurnizor="RO' || lpad((i % 5000)::text, 11, '0')
           || '" tipDocUE="eDA" nrDocUE="23RO' || lpad(i::text, 12, '0') || '" dataDocUE="' || to_char(pdata, 'YYYY-MM-01')
           || '" articol="Ţuică de prună ' || (array['0,5 l','0,7 l','1 l'])[1 + i % 3] || ' ART-' || lpad((i % 200000)::text, 6, '0')
           || '" codNC="22089048" codProdusAccizabil="S200" denProdusAccizabil="Băuturi spirtoase" um="l" cantitate="'
           || (1 + i % 1000) || '" gradAlcoolic="40" gradPlato="" densitate="" capacitateLitri="0.5" volumLitri="'
           || ((1 + i % 1000) * 0.5) || '"/>'
           || ' <!-- ' || pemcseucodaccizadepozit || ' -->'
    from generate_series(1, %1 - 1) i
$fn$;
)SQL";

} // namespace

void makeData(pg_conn *conn, const Sizes &sizes)
{
    run(conn, QString::fromUtf8(articlesSql).arg(sizes.articles));
    run(conn, QString::fromUtf8(invoicesSql)
                  .arg(sizes.invoices)
                  .arg(sizes.partners)
                  .arg(QLatin1String(authorisation)));
    run(conn, QString::fromUtf8(declarationSql).arg(sizes.declarationRows));
    run(conn, QStringLiteral("vacuum analyze acciza, articol, doc, doc_poz, doc_creare, emcs_autorizatie"));
}

} // namespace bench
