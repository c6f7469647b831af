// The test programs take the installer's caption for copy and delete failures.
extern const char operation_caption[] = "Tastaturtreiber-Installation";
