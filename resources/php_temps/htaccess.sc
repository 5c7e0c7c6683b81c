# The gallery's data files are for its PHP pages only: their comments and
# counts are shown through the pages, never handed out as files.
<FilesMatch "\.(cnt|ctx)$">
    <IfModule mod_authz_core.c>
        Require all denied
    </IfModule>
    <IfModule !mod_authz_core.c>
        Order allow,deny
        Deny from all
    </IfModule>
</FilesMatch>
