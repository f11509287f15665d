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
-- The autocomplete of the mask finds the values beginning with what is typed by seeks, never
-- by a scan: the distinct values of the columns of repeated values are kept, with how many rows
-- hold each, in the table sys_voci by triggers on entrata and Mittenti, and the subject and the
-- tax code have an index on their first characters. mkdb adds these structures from the
-- program's own definition of them (src/platform/archive_indexes.cpp).

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
