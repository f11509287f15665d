-- The register archive: the template arch_base.mdb is built from this file.
-- Column order matters: the register query "SELECT entrata.*, Mittenti.*" addresses
-- some columns by position (0 Progressivo, 1 Tipo, 2 Data_quadernolo, 3 Anno, 4 Tipo_documento,
-- 5 Numero_documenti, 6 Quad_rif, 7 Data_quad_rif, 8 Oggetto, 16 Nota_annulla), and the
-- bookkeeping sys_ columns come last.
-- Types: dates 'yyyy-mm-dd' (DATE), times 'hh:mm:ss' (TIME), yes/no -1/0 (BOOLEAN), long text MEMO.

CREATE TABLE entrata (
    Progressivo INTEGER PRIMARY KEY,
    Tipo TEXT,
    Data_quadernolo DATE,
    Anno INTEGER,
    Tipo_documento TEXT,
    Numero_documenti INTEGER DEFAULT 0,
    Quad_rif TEXT,
    Data_quad_rif DATE,
    Oggetto TEXT,
    Ufficio_competente TEXT,
    Ufficio_conoscenza TEXT,
    Note TEXT MEMO,
    Collegamento TEXT,
    Orario TIME,
    Annullato BOOLEAN NOT NULL DEFAULT 0,
    Riservato BOOLEAN NOT NULL DEFAULT 0,
    Nota_annulla TEXT MEMO,
    sys_nodo TEXT,
    sys_consegnato BOOLEAN NOT NULL DEFAULT 0,
    sys_data_consegna DATE,
    sys_ora_consegna TIME
);

CREATE TABLE Mittenti (
    Quadernolo INTEGER NOT NULL,
    tipo TEXT NOT NULL,
    Nominativo TEXT,
    P_iva_CF TEXT,
    Data_nascita DATE,
    Indirizzo TEXT,
    Civico TEXT,
    Citta TEXT,
    Prov TEXT,
    Stato TEXT,
    Cap TEXT
);
CREATE INDEX Mittenti_quadernolo ON Mittenti (Quadernolo, tipo);
-- Prefix indexes: the autocomplete of the mask finds the values beginning with what is typed
-- by seeks on these (without regard to ASCII case, then as stored), never by a scan.
CREATE INDEX entrata_tipo_documento_prefisso ON entrata (Tipo_documento COLLATE NOCASE, Tipo_documento);
CREATE INDEX entrata_quad_rif_prefisso ON entrata (Quad_rif COLLATE NOCASE, Quad_rif);
CREATE INDEX entrata_oggetto_prefisso ON entrata (Oggetto COLLATE NOCASE, Oggetto);
CREATE INDEX entrata_note_prefisso ON entrata (Note COLLATE NOCASE, Note);
CREATE INDEX entrata_nota_annulla_prefisso ON entrata (Nota_annulla COLLATE NOCASE, Nota_annulla);
CREATE INDEX mittenti_nominativo_prefisso ON Mittenti (Nominativo COLLATE NOCASE, Nominativo);
CREATE INDEX mittenti_p_iva_cf_prefisso ON Mittenti (P_iva_CF COLLATE NOCASE, P_iva_CF);
CREATE INDEX mittenti_indirizzo_prefisso ON Mittenti (Indirizzo COLLATE NOCASE, Indirizzo);
CREATE INDEX mittenti_civico_prefisso ON Mittenti (Civico COLLATE NOCASE, Civico);
CREATE INDEX mittenti_prov_prefisso ON Mittenti (Prov COLLATE NOCASE, Prov);
CREATE INDEX mittenti_stato_prefisso ON Mittenti (Stato COLLATE NOCASE, Stato);
CREATE INDEX mittenti_cap_prefisso ON Mittenti (Cap COLLATE NOCASE, Cap);

CREATE TABLE test_pass (
    id INTEGER PRIMARY KEY,
    testo TEXT
);
INSERT INTO test_pass (id, testo) VALUES (1, 'quadernolo');

-- Folder tree: rows come back in insertion order (rowid), which is the order the tree needs.
CREATE TABLE sys_tree (
    "KEY" TEXT,
    CAPTION TEXT,
    EXPANDED BOOLEAN NOT NULL DEFAULT 0,
    SELECTED BOOLEAN NOT NULL DEFAULT 0
);

CREATE TABLE sys_rela_tree (
    SYS_ID INTEGER PRIMARY KEY,
    SYS_TREE TEXT,
    SYS_USER_ID INTEGER,
    Tipo TEXT,
    SYS_DATA DATE
);
CREATE INDEX sys_rela_tree_nodo ON sys_rela_tree (SYS_TREE);
-- The folders of an entry, and the folder grid read entry by entry.
CREATE INDEX sys_rela_tree_scheda ON sys_rela_tree (SYS_USER_ID);
-- The register print reads a range of registration dates.
CREATE INDEX entrata_data ON entrata (Data_quadernolo);
