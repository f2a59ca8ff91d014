#include "data/u_dmCon.h"

#include "korvat_settings.h"

using korvat::grid::GridStyle;
using korvat::pg::SslMode;

TdmCon::Settings TdmCon::Settings::builtIn()
{
    namespace s = korvat::settings;
    return {QString::fromUtf8(s::directoryHost), s::directoryPort, QString::fromUtf8(s::directoryPassword),
            QString::fromUtf8(s::companyHost), s::companyPort, QString::fromUtf8(s::companyPassword)};
}

TdmCon::TdmCon(const Settings &settings, QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("dmCon"));

    // The company's database: replaced by the login; released between operations.
    conZub.setServer(settings.companyHost);
    conZub.setPort(settings.companyPort);
    conZub.setDatabase(QStringLiteral("zub1"));
    conZub.setUsername(QStringLiteral("zub"));
    conZub.setPassword(settings.companyPassword);
    conZub.setSslMode(SslMode::Require);
    conZub.setDisconnectedMode(true);

    // The company directory: encrypted, and connected once for the rest of the run.
    conZubMob.setServer(settings.directoryHost);
    conZubMob.setPort(settings.directoryPort);
    conZubMob.setDatabase(QStringLiteral("zub_mob"));
    conZubMob.setUsername(QStringLiteral("zub"));
    conZubMob.setPassword(settings.directoryPassword);
    conZubMob.setSslMode(SslMode::Require);
    conZubMob.setDisconnectedMode(false);

    declareQueries();
    declareStyles();
}

void TdmCon::declareQueries()
{
    dsEmitent.setSql(QStringList{"select *", "from emitent", "where emitent = :pEmitent",
                                 "  and operator_parola = :pP", ";"});
    dsEmitent.declareParam(QStringLiteral("pEmitent"), korvat::pg::ParamType::String);
    dsEmitent.declareParam(QStringLiteral("pP"), korvat::pg::ParamType::String);
    dsEmitent.addFields({
    "emitent S100 R", "emitent_corect S100", "este_emitent B R", "este_operator B R", "este_comisionar B R",
    "este_sofer B R", "operator_parola S256", "cod_casier_pos S10", "banca_eu_default S100",
    "cont_banca_eu_default S28", "casa S50", "moneda S3", "magazie_sursa_default S5",
    "magazie_dest_default S5", "functie S30", "eu_punct_lucru S50 R", "com_int S25", "loc S25",
    "nr_obiect S20", "ci_nume S30", "ci_serie S3", "ci_nr S25", "ci_data_elib D", "ci_elib S25", "cnp S25",
    "transport_mijloc S25", "transport_nr S25", "da_nu_schimbare_pl B R", "da_nu_adaugare_partener B R",
    "da_nu_adaugare_articol B R", "da_nu_acces_la_politica_pret B R", "da_nu_modif_data_listare B R",
    "da_nu_acces_limita_creditare B R", "prez_of_stoc_fact_cl B R", "prez_of_stoc_av_exp B R",
    "prez_of_stoc_bte B R", "prez_of_stoc_bc B R", "pret_fact_cl_cu_tva B R", "da_nu_fact_pe_calc B R",
    "da_nu_modif_nr_fact_pe_calc B R", "da_nu_fact_autocopy B R", "da_nu_aviz_autocopy B R",
    "da_nu_modif_data_livrare B R", "nr_zile_prezentare_doc I", "data_ins D R", "da_nu_fact_ci_rosu B",
    "em_email_adr S50", "tel_fix S30", "tel_mobil S30", "proc_comisionar F", "em_outgoing_email_server S50",
    "em_outgoing_email_port I", "em_outgoing_email_secure B R", "em_outgoing_email_user S50",
    "em_outgoing_email_psw S50", "em_outlook B R", "lang S15", "rol_web S25", "rol_win S25",
    "web_theme S25", "discontinued B R", "data_export T", "data_import T", "vede_pret_stoc B",
    "da_nu_generare_op B R",
    });
    dsEmitenteu_punct_lucru = dsEmitent.field(QStringLiteral("eu_punct_lucru"));

    dsAplicatieMob.setSql(QStringList{"select *", "from aplicatie_mob",
                                      "where lower(aplicatie_mob) = lower(:pAplicatieMob)", "  and activ", ";"});
    dsAplicatieMob.declareParam(QStringLiteral("pAplicatieMob"), korvat::pg::ParamType::String);
    dsAplicatieMob.addFields({
    "aplicatie_mob S100 R", "activ B R", "obs M",
    });

    dsEu.setSql(QStringList{"select *", "from eu", ";"});
    dsEu.addFields({
    "cod_cci S20 R", "atribut_fiscal S3", "tip_societate S20", "reg_comert_jud S5", "reg_comert_nr S7",
    "reg_comert_data D", "reg_comert_jud_suc S5", "reg_comert_nr_suc S7", "reg_comert_data_suc D",
    "cnp_a S13", "eu S100", "eu_sediu S30", "data_incep_activitate D R", "trezoreria S100",
    "trezoreria_cont S28", "data_gen_fact D", "tara S3 R", "localit S30 R", "adresa S100 R", "telefon S50",
    "fax S50", "email_adr S50", "web_adr S50", "nr_insp_munca S15", "nr_pers_hand_suta_ang F",
    "da_nu_modif_ore_prez B", "da_nu_dimin_avans_cu_ret B", "formula_calcul_co S30", "proc_avans_co F",
    "formula_calcul_avans_q S30", "formula_calcul_penalitati I", "proc_avans F", "rotunjire_avans I",
    "rotunjire_lichidare I", "proc_diminuare_bugetari F", "nr_autorizatie_alcool S30", "metoda_stoc S4 R",
    "da_nu_scadere_stoc_in_viitor B R", "da_nu_impozit_profit B R", "da_nu_nevoi_firma B R",
    "da_nu_platitor_tva_in_vama B", "proc_impozit_profit F", "proc_deductibilitate F",
    "prez_of_stoc_fact_cl B R", "da_nu_postcalcul B R", "prez_of_stoc_av_exp B R", "prez_of_stoc_bte B R",
    "prez_of_stoc_bc B R", "pret_fact_cl_cu_tva B R", "pret_nir_cu_tva B R", "pret_cmd_client_cu_tva B R",
    "da_nu_tva_neexigibil B R", "da_nu_list_fact_pr_ctl B R", "da_nu_list_fact_neop_stoc B R",
    "da_nu_bon_pe_calc B R", "da_nu_cmd_pe_extrasb B R", "da_nu_fact_pe_calc B R",
    "da_nu_fact_autocopy B R", "da_nu_aviz_autocopy B R", "da_nu_nir_in_mag_dest B R",
    "tip_contabilitate S20 R", "da_nu_politica_pret_punct_lucru B R", "da_nu_nota_c_fara_restrictie B R",
    "da_nu_mon_cont_tip_doc B R", "data_denominare D R", "da_nu_balanta_pe_obiective B R",
    "da_nu_rezervare_stoc B R", "da_nu_contare_avz_c B R", "da_nu_contare_nirad B R", "norma F R",
    "data_avans D", "data_lichidare D", "strada S50", "nr_strada S10", "bloc S10", "scara S5", "etaj S5",
    "apt S5", "sector S1", "cod_postal_adresa S6", "sup_eu_denumire S100", "sup_eu_cui S13", "eu_cui S13",
    "eu_cif S13", "eu_reprezentant_legal S100", "val_limita_casa_lei F", "proc_penaliz_intirziere F",
    "cod_forma_proprietate F", "cod_forma_organizare F", "cod_tip_societate F", "cod_caen S6",
    "cod_siruta F", "tip_administrare_soc S50", "capital_social S100", "da_nu_autoinchidere_cmd_client B R",
    "da_nu_autoinchidere_cmd_furn B R", "da_nu_institutie_publica B R", "casa_asig_sanatate S2",
    "nr_licenta_turism S20", "da_nu_balanta_pe_subunitati B R", "da_nu_b_casa_stoc B R",
    "da_nu_b_casa_articol B R", "da_nu_salarii_in_postcalcul B R", "da_nu_turism_in_comision B R",
    "da_nu_confirmare_comanda B R", "da_nu_micro_intreprindere B R", "da_nu_tva_nededus_cont_separat B R",
    "jas_ip M", "jas_ip_ext M", "mod_plata_tva S20", "gln S13", "reges_cod_tip_angajator S20",
    "reges_cod_forma_organizare S70", "reges_cod_forma_juridica S48", "reges_cod_tip_societate S30",
    "reges_cod_forma_proprietate S8", "reges_cod_act_id_pf S25",
    });
    dsEujas_ip = dsEu.field(QStringLiteral("jas_ip"));

    dsAplicatieMobEmitent.setSql(QStringList{"select *", "from aplicatie_mob_emitent",
                                             "where emitent = :pEmitent",
                                             "  and lower(aplicatie_mob) = lower(:pAplicatieMob)", ";"});
    dsAplicatieMobEmitent.declareParam(QStringLiteral("pEmitent"), korvat::pg::ParamType::String);
    dsAplicatieMobEmitent.declareParam(QStringLiteral("pAplicatieMob"), korvat::pg::ParamType::String);
    dsAplicatieMobEmitent.addFields({
    "aplicatie_mob S100 R", "emitent S100 R", "rol M",
    });
    dsAplicatieMobEmitentrol = dsAplicatieMobEmitent.field(QStringLiteral("rol"));
}

// The grid style repository: fourteen styles and the sheet that assigns them to the grid's parts. The
// grid library holds their values; each cxStyleN is the style of the slot that names it.
void TdmCon::declareStyles()
{
    GridTableViewStyleSheetDevExpress = korvat::grid::devExpressStyleSheet();
    GridStyle *const styles[] = {&cxStyle1, &cxStyle2, &cxStyle3, &cxStyle4, &cxStyle5, &cxStyle6, &cxStyle7,
                                 &cxStyle8, &cxStyle9, &cxStyle10, &cxStyle11, &cxStyle12, &cxStyle13, &cxStyle14};
    const QLatin1String prefix("cxStyle");
    for (const std::optional<GridStyle> &style : GridTableViewStyleSheetDevExpress.styles)
        if (style)
            *styles[style->name.mid(prefix.size()).toInt() - 1] = *style;
}
