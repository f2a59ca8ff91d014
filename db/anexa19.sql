-- A47 declaration ("Anexa 19": acquisitions and imports of excise goods by a
-- registered consignee), produced by the server for Korvat's declaration window.
--
--     select * from o_emcs_xml_anexa19(pdata, pemcseucodaccizadepozit)
--
-- returns one text column, o_emcs_xml_anexa19; its rows, in the order returned, are the
-- lines of the XML document, which Korvat writes to the file one line per row. The
-- month is the whole calendar month that contains pdata; the authorisation is the
-- company's excise number under which the goods were received
-- (doc.emcs_eu_cod_acciza_depozit).
--
-- What is declared: every excise line (doc_poz.acciza_id set) of the month's supplier
-- invoices, intra-EU acquisitions 'FactFI' and imports 'FactFE', that are not
-- cancelled (doc.data_anulare null) and were received under the authorisation.
--
-- Document structure (one element per line; every attribute is always written, empty
-- when the ERP holds no value; dates are YYYY-MM-DD, numbers use a decimal point and
-- no exponent):
--
--   <?xml version="1.0" encoding="UTF-8"?>
--   <declaratieA47 anexa="19" versiune="1" luna="MM" an="YYYY" nrAutorizatie="...">
--     <operator denumire cui cif tara localitate adresa strada numar codPostal
--               reprezentantLegal/>              the company, from eu (its first row)
--     <perioada luna an dataInceput dataSfarsit/>
--     <autorizatie nr tip/>                       tip from emcs_autorizatie
--     <achizitii>
--       <achizitie nrCrt                          1, 2, ... in the order of the lines
--                  dataFactura tipFactura nrFactura linie    invoice key and doc_poz.scv
--                  furnizor codAccizaFurnizor     doc.partener, emcs_partener_cod_acciza_depozit
--                  tipDocUE nrDocUE dataDocUE     'eDA' or 'VAMA', its number and date
--                  articol codNC                  articol, articol.cod_nc
--                  codProdusAccizabil denProdusAccizabil   acciza.cod_acciza_ro, den_acciza
--                  um cantitate                   articol.um, doc_poz.cantitate
--                  gradAlcoolic gradPlato densitate capacitateLitri
--                  volumLitri/>                   cantitate * capacitateLitri
--       ...
--     </achizitii>
--     <totaluri nrAchizitii nrFacturi>
--       <totalProdus codProdusAccizabil denProdusAccizabil um cantitate volumLitri/>
--       ...                                       one per excise product code and unit
--     </totaluri>
--   </declaratieA47>
--
-- A month without lines still gives the whole document, with empty <achizitii> and
-- <totaluri> elements. Lines are ordered by invoice key and line number.
--
-- Every call is recorded in emcs_anexa19_apel (the day and authorisation asked for),
-- so that one can see when, and how often, a declaration was produced.
--
-- Load after erp_schema.sql:  psql -v ON_ERROR_STOP=1 -f anexa19.sql

create table if not exists emcs_anexa19_apel (
    id    serial primary key,
    pdata date,
    cod   text,
    la    timestamptz not null default clock_timestamp()
);
-- The server session that asked: one generation asks twice over one session.
alter table emcs_anexa19_apel add column if not exists sesiune integer default pg_backend_pid();

-- Text as XML character data or attribute value: the five markup characters become
-- entities; tab, line feed and carriage return become character references so that
-- an element stays on its line; other control characters, which XML 1.0 does not
-- allow, are dropped.
create or replace function emcs_xml_escape(ptext text) returns text
language sql immutable as $$
    select replace(replace(replace(replace(replace(replace(replace(replace(
               regexp_replace(ptext, '[\x01-\x08\x0B\x0C\x0E-\x1F]', '', 'g'),
               '&', '&amp;'), '<', '&lt;'), '>', '&gt;'), '"', '&quot;'), '''', '&apos;'),
               E'\t', '&#9;'), E'\n', '&#10;'), E'\r', '&#13;')
$$;

-- ' name="value"', escaped; an empty value when pvalue is null.
create or replace function emcs_xml_attr(pname text, pvalue text) returns text
language sql immutable as $$
    select ' ' || pname || '="' || coalesce(emcs_xml_escape(pvalue), '') || '"'
$$;

-- A number as the declaration writes it: at most six decimals, no trailing zeros,
-- never in exponent form.
create or replace function emcs_xml_num(pvalue double precision) returns text
language sql immutable as $$
    select trim_scale(round(pvalue::numeric, 6))::text
$$;

create or replace function o_emcs_xml_anexa19(pdata date, pemcseucodaccizadepozit text)
returns table (o_emcs_xml_anexa19 text)
language plpgsql volatile as $$
declare
    vincep   date := date_trunc('month', pdata)::date;
    vsfarsit date := (date_trunc('month', pdata) + interval '1 month - 1 day')::date;
    vluna    text := to_char(pdata, 'MM');
    van      text := to_char(pdata, 'YYYY');
begin
    insert into emcs_anexa19_apel (pdata, cod) values (pdata, pemcseucodaccizadepozit);

    return query
    with linii as (
        select row_number() over (order by d.data_doc, d.tip_doc, d.nr_doc, p.scv) as nr_crt,
               d.data_doc, d.tip_doc, d.nr_doc, p.scv,
               d.partener, d.emcs_partener_cod_acciza_depozit,
               d.tip_doc_ue_baza, d.nr_doc_ue_baza, d.data_doc_ue_baza,
               p.articol, a.cod_nc, z.cod_acciza_ro, z.den_acciza, a.um, p.cantitate,
               a.grad_alcoolic, a.emcs_plato_degree, a.emcs_density, a.capacitate_litri,
               p.cantitate * a.capacitate_litri as volum_litri
        from doc d
             join doc_poz p on p.data_doc = d.data_doc
                           and p.tip_doc  = d.tip_doc
                           and p.nr_doc   = d.nr_doc
             left join articol a on a.articol = p.articol
             left join acciza z on z.acciza_id = p.acciza_id
        where d.tip_doc in ('FactFI', 'FactFE')
          and d.data_anulare is null
          and d.data_doc between vincep and vsfarsit
          and d.emcs_eu_cod_acciza_depozit = pemcseucodaccizadepozit
          and p.acciza_id is not null
    ),
    totaluri as (
        select row_number() over (order by cod_acciza_ro nulls last, den_acciza, um) as ord,
               cod_acciza_ro, den_acciza, um,
               sum(cantitate) as cantitate, sum(volum_litri) as volum_litri
        from linii
        group by cod_acciza_ro, den_acciza, um
    ),
    parti (sectiune, ord, linie) as (
        select 1, 0::bigint, '<?xml version="1.0" encoding="UTF-8"?>'
        union all
        select 2, 0, '<declaratieA47' || emcs_xml_attr('anexa', '19') || emcs_xml_attr('versiune', '1')
                     || emcs_xml_attr('luna', vluna) || emcs_xml_attr('an', van)
                     || emcs_xml_attr('nrAutorizatie', pemcseucodaccizadepozit) || '>'
        union all
        select 3, 0, '  <operator'
                     || emcs_xml_attr('denumire', e.eu) || emcs_xml_attr('cui', e.eu_cui)
                     || emcs_xml_attr('cif', e.eu_cif) || emcs_xml_attr('tara', e.tara)
                     || emcs_xml_attr('localitate', e.localit) || emcs_xml_attr('adresa', e.adresa)
                     || emcs_xml_attr('strada', e.strada) || emcs_xml_attr('numar', e.nr_strada)
                     || emcs_xml_attr('codPostal', e.cod_postal_adresa)
                     || emcs_xml_attr('reprezentantLegal', e.eu_reprezentant_legal) || '/>'
        from (select 1) as unu
             left join lateral (select * from eu order by cod_cci limit 1) as e on true
        union all
        select 4, 0, '  <perioada' || emcs_xml_attr('luna', vluna) || emcs_xml_attr('an', van)
                     || emcs_xml_attr('dataInceput', to_char(vincep, 'YYYY-MM-DD'))
                     || emcs_xml_attr('dataSfarsit', to_char(vsfarsit, 'YYYY-MM-DD')) || '/>'
        union all
        select 5, 0, '  <autorizatie' || emcs_xml_attr('nr', pemcseucodaccizadepozit)
                     || emcs_xml_attr('tip', (select tip_autorizatie from emcs_autorizatie
                                              where nr_autorizatie = pemcseucodaccizadepozit))
                     || '/>'
        union all
        select 6, 0, '  <achizitii>'
        union all
        select 7, l.nr_crt,
               '    <achizitie' || emcs_xml_attr('nrCrt', l.nr_crt::text)
               || emcs_xml_attr('dataFactura', to_char(l.data_doc, 'YYYY-MM-DD'))
               || emcs_xml_attr('tipFactura', l.tip_doc) || emcs_xml_attr('nrFactura', l.nr_doc)
               || emcs_xml_attr('linie', l.scv::text)
               || emcs_xml_attr('furnizor', l.partener)
               || emcs_xml_attr('codAccizaFurnizor', l.emcs_partener_cod_acciza_depozit)
               || emcs_xml_attr('tipDocUE', l.tip_doc_ue_baza)
               || emcs_xml_attr('nrDocUE', l.nr_doc_ue_baza)
               || emcs_xml_attr('dataDocUE', to_char(l.data_doc_ue_baza, 'YYYY-MM-DD'))
               || emcs_xml_attr('articol', l.articol) || emcs_xml_attr('codNC', l.cod_nc)
               || emcs_xml_attr('codProdusAccizabil', l.cod_acciza_ro)
               || emcs_xml_attr('denProdusAccizabil', l.den_acciza)
               || emcs_xml_attr('um', l.um) || emcs_xml_attr('cantitate', emcs_xml_num(l.cantitate))
               || emcs_xml_attr('gradAlcoolic', emcs_xml_num(l.grad_alcoolic))
               || emcs_xml_attr('gradPlato', emcs_xml_num(l.emcs_plato_degree))
               || emcs_xml_attr('densitate', emcs_xml_num(l.emcs_density))
               || emcs_xml_attr('capacitateLitri', emcs_xml_num(l.capacitate_litri))
               || emcs_xml_attr('volumLitri', emcs_xml_num(l.volum_litri)) || '/>'
        from linii l
        union all
        select 8, 0, '  </achizitii>'
        union all
        select 9, 0, '  <totaluri'
                     || emcs_xml_attr('nrAchizitii', (select count(*) from linii)::text)
                     || emcs_xml_attr('nrFacturi', (select count(distinct (data_doc, tip_doc, nr_doc))
                                                    from linii)::text) || '>'
        union all
        select 10, t.ord,
               '    <totalProdus' || emcs_xml_attr('codProdusAccizabil', t.cod_acciza_ro)
               || emcs_xml_attr('denProdusAccizabil', t.den_acciza) || emcs_xml_attr('um', t.um)
               || emcs_xml_attr('cantitate', emcs_xml_num(t.cantitate))
               || emcs_xml_attr('volumLitri', emcs_xml_num(t.volum_litri)) || '/>'
        from totaluri t
        union all
        select 11, 0, '  </totaluri>'
        union all
        select 12, 0, '</declaratieA47>'
    )
    select parti.linie from parti order by parti.sectiune, parti.ord;
end;
$$;
